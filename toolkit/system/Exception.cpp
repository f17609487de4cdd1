#include "system/Exception.h"

#include <QDir>

Exception::Exception(const QString &message)
    : message_(message)
    , utf8_(message.toUtf8())
{
}

QString QuotedFileName(const QString &fileName)
{
    return QLatin1Char('"') + QDir::toNativeSeparators(fileName) + QLatin1Char('"');
}
