#include "vcl/Dialogs.h"

#include "vcl/TApplication.h"

#include <QMessageBox>

void ShowMessageBox(const QString &message, QMessageBox::Icon icon)
{
    QMessageBox box(icon, Application->Title(), message, QMessageBox::Ok, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void ShowMessage(const QString &message) { ShowMessageBox(message, QMessageBox::NoIcon); }
