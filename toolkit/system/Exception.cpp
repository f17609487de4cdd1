#include "system/Exception.h"

#include <QDir>

Exception::Exception(const QString &message)
    : message_(message)
    , utf8_(message.toUtf8())
{
}

QString QuotedFileName(const QString &fileName)
{
    // A working folder removed while the program runs has no name left to give.
    const QString folder = QDir::currentPath();
    const QString name = folder.isEmpty() ? fileName : QDir(folder).absoluteFilePath(fileName);
    return QLatin1Char('"') + QDir::toNativeSeparators(name) + QLatin1Char('"');
}
