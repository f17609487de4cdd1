#include "Files.h"

#include "Exception.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace files {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("files", text);
}

[[noreturn]] void failToOpen(const QString &fileName, const QString &reason)
{
    throw Exception(tr("Cannot open file %1: %2").arg(QuotedFileName(fileName), reason));
}

[[noreturn]] void failToSave(const QString &fileName, const QString &reason)
{
    throw Exception(tr("Cannot save file %1: %2").arg(QuotedFileName(fileName), reason));
}

}   // namespace

QByteArray ReadAll(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        failToOpen(fileName, tr("Is a directory"));
    if (info.exists() && !info.isFile())
        failToOpen(fileName, tr("Not a regular file"));

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        failToOpen(fileName, file.errorString());
    QByteArray bytes;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc &) {
        failToOpen(fileName, tr("The file is too large to load"));
    }
    if (file.error() != QFileDevice::NoError)
        failToOpen(fileName, file.errorString());
    return bytes;
}

void WriteAtomically(const QString &fileName, const QByteArray &bytes)
{
    const QFileInfo info(fileName);
    if (info.isDir())
        failToSave(fileName, tr("Is a directory"));

    QSaveFile file(fileName);
    // Without this QSaveFile writes in place where it cannot make a file beside the
    // target, and a failure then leaves the old content half overwritten.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        failToSave(fileName, file.errorString());
    if (file.write(bytes) != bytes.size())
        failToSave(fileName, file.errorString());
    if (!file.commit())
        failToSave(fileName, file.errorString());
}

}   // namespace files
