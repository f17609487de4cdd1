#pragma once

#include <QCoreApplication>

// The texts of this library that a user reads, all in one translation context.
class PrintingTexts {
    Q_DECLARE_TR_FUNCTIONS(printing)
};
