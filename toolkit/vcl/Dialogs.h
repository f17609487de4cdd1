#pragma once

#include <QString>

// A message box titled with the application's title, with the text and an OK
// button; returns once the user has closed it.
void ShowMessage(const QString &message);
