#pragma once

#include <QCoreApplication>

// The texts of the windows' handlers and of the program's start that a user reads, in
// one translation context; the windows' layouts have theirs, one for each window.
class FormsTexts {
    Q_DECLARE_TR_FUNCTIONS(forms)
};
