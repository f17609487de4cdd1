#pragma once

#include <QMessageBox>
#include <QString>

// The program's one message box: titled with the application's title, the text as
// plain text, an OK button; returns once the user has closed it.
void ShowMessageBox(const QString &message, QMessageBox::Icon icon);

// The message box without an icon.
void ShowMessage(const QString &message);
