#include "vcl/Dialogs.h"

#include "vcl/TApplication.h"

#include <QMessageBox>

void ShowMessage(const QString &message)
{
    QMessageBox box(QMessageBox::NoIcon, Application->Title(), message, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
