#pragma once

#include <QString>

#include <functional>

class QProgressDialog;
class QTextDocument;

// Prints the document as printing::Print does. A job of more than a few pages that
// takes more than a moment shows its progress in a window whose button cancels it.
// Returns false when it was cancelled, and when a job was already being printed: the
// program goes on handling events while it prints, so a second one could be asked for.
bool PrintShowingProgress(const QTextDocument &document, const QString &title);

// Called with each progress window as it is made, before it is shown; empty: none.
// Tests find the window so.
void SetPrintProgressHook(std::function<void(QProgressDialog &)> hook);
