#pragma once

#include <QCoreApplication>

// The texts of this library that a user reads, all in one translation context.
class SystemTexts {
    Q_DECLARE_TR_FUNCTIONS(system)
};

// Why a call of the system failed, in the program's words: `code` is errno on POSIX
// systems and GetLastError()'s value on Windows. An error the program has no words
// for keeps the system's own text, and no reason is ever empty.
QString SystemErrorReason(int code);
