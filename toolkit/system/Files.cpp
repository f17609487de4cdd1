#include "system/Files.h"

#include "system/Exception.h"
#include "system/FilesPlatform.h"

#include <QCoreApplication>
#include <QFile>

#include <new>

namespace files {

namespace {

// Loading takes about eight times the file's size in memory (the bytes, the decoded
// text, the box); past this a phone book is not what the file holds, and reading it
// could exhaust memory and get the program killed instead of reporting.
constexpr qint64 maximumFileSize = qint64(256) << 20;

}   // namespace

QString Tr(const char *text) { return QCoreApplication::translate("files", text); }

void FailToOpen(const QString &fileName, const QString &reason)
{
    throw Exception(Tr("Cannot open file %1: %2").arg(QuotedFileName(fileName), reason));
}

void FailToSave(const QString &fileName, const QString &reason)
{
    throw Exception(Tr("Cannot save file %1: %2").arg(QuotedFileName(fileName), reason));
}

QByteArray ReadAll(const QString &fileName)
{
    QFile file;
    const QString refused = platform::OpenRegularFile(file, fileName);
    if (!refused.isEmpty())
        FailToOpen(fileName, refused);
    if (file.size() > maximumFileSize)
        FailToOpen(fileName, Tr("The file is larger than %1 MB").arg(maximumFileSize >> 20));
    QByteArray bytes;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc &) {
        FailToOpen(fileName, Tr("The file is too large to load"));
    }
    if (file.error() != QFileDevice::NoError)
        FailToOpen(fileName, file.errorString());
    return bytes;
}

void WriteAtomically(const QString &fileName, const QByteArray &bytes)
{
    const QString failed = platform::WriteReplacing(fileName, bytes);
    if (!failed.isEmpty())
        FailToSave(fileName, failed);
}

}   // namespace files
