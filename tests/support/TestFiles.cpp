#include "support/TestFiles.h"

#include "vcl/TRichEdit.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace support {

bool WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString FileNotFoundReason()
{
#ifdef Q_OS_WIN
    return qt_error_string(ERROR_FILE_NOT_FOUND);
#else
    return QString::fromLocal8Bit(std::strerror(ENOENT));
#endif
}

QStringList Lines(const TStrings &strings)
{
    QStringList result;
    for (int index = 0; index < strings.Count(); ++index)
        result.append(strings.Strings(index));
    return result;
}

QStringList Lines(const TRichEdit &box) { return Lines(*box.Lines); }

}   // namespace support
