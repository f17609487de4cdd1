#pragma once

#include <QCoreApplication>

class QFileDevice;

// The texts of this library that a user reads, all in one translation context.
class SystemTexts {
    Q_DECLARE_TR_FUNCTIONS(system)
};

// Why a call of the system failed, in the program's words: `code` is errno on POSIX
// systems and GetLastError()'s value on Windows. An error the program has no words
// for keeps the system's own text, and no reason is ever empty.
QString SystemErrorReason(int code);

// The code of the system's last error (errno, or GetLastError() on Windows), and its
// clearing before a call of Qt's whose failure is to be explained.
int LastSystemError();
void ClearSystemError();

// Why an operation on `file` failed: the error the system left behind since it was
// cleared, in the program's words; Qt's own text when the system left none.
QString FileErrorReason(const QFileDevice &file);
