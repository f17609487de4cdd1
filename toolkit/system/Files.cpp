#include "system/Files.h"

#include "system/Exception.h"
#include "system/FilesPlatform.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <new>
#include <optional>

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
    // QSaveFile is not used: it writes through a symbolic link, replacing the file the
    // link points to, and cannot save over a link that points nowhere.
    const QFileInfo info(fileName);
    if (info.isDir() && !info.isSymLink())
        FailToSave(fileName, Tr("Is a directory"));
    const QString refused = platform::ReplaceRefused(fileName);
    if (!refused.isEmpty())
        FailToSave(fileName, refused);

    std::optional<QTemporaryFile> temporary(
        std::in_place, info.absoluteFilePath() + QLatin1String(".XXXXXX"));
    QTemporaryFile &file = *temporary;
    if (!file.open())
        FailToSave(fileName, file.errorString());
    // A new file is readable by all, as a file saved by any editor; one that is
    // replaced keeps its permissions.
    const bool replacesRegularFile = info.isFile() && !info.isSymLink();
    file.setPermissions(replacesRegularFile ? info.permissions()
                                            : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    // Qt reports a write that the disk cuts short as a short count with no error; the
    // next write of the rest then fails with the reason.
    for (qsizetype written = 0; written < bytes.size();) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            FailToSave(fileName, file.errorString());
        written += count;
    }
    const QString unsynchronized = platform::Synchronize(file);
    if (!unsynchronized.isEmpty())
        FailToSave(fileName, unsynchronized);
    // Asked while open: on Linux the file has no name until then (O_TMPFILE), so a
    // save killed before this point leaves nothing behind.
    const QString temporaryName = file.fileName();
    if (temporaryName.isEmpty())
        FailToSave(fileName, file.errorString());
    // QTemporaryFile::close() leaves the file open on Windows, where an open file that
    // does not share deletion cannot be moved; only the object's end closes it.
    file.setAutoRemove(false);
    temporary.reset();
    const QString notReplaced = platform::Replace(temporaryName, info.absoluteFilePath());
    if (!notReplaced.isEmpty()) {
        QFile::remove(temporaryName);
        FailToSave(fileName, notReplaced);
    }
}

}   // namespace files
