#include "system/Files.h"

#include "system/Exception.h"
#include "system/FilesPlatform.h"
#include "system/Memory.h"
#include "system/Texts.h"

#include <QFile>

#include <optional>

namespace files {

namespace {

// Loading takes about eight times the file's size in memory (the bytes, the decoded
// text, the box); past this a phone book is not what the file holds, and reading it
// could exhaust memory and get the program killed instead of reporting.
constexpr qint64 maximumFileSize = qint64(256) << 20;

}   // namespace

void FailToOpen(const QString &fileName, const QString &reason)
{
    throw Exception(SystemTexts::tr("Cannot open file %1: %2.").arg(QuotedFileName(fileName), reason));
}

void FailToSave(const QString &fileName, const QString &reason)
{
    throw Exception(SystemTexts::tr("Cannot save file %1: %2.").arg(QuotedFileName(fileName), reason));
}

void RequireMemoryToOpen(const QString &fileName, qint64 bytes)
{
    if (const std::optional<memory::Shortage> shortage = memory::Shortfall(bytes)) {
        FailToOpen(fileName,
            SystemTexts::tr("the file needs about %1 MB of memory; %2 MB are available")
                .arg(shortage->neededMegabytes)
                .arg(shortage->availableMegabytes));
    }
}

void FailToOpenOutOfMemory(const QString &fileName)
{
    FailToOpen(fileName, SystemTexts::tr("there is not enough memory to load the file"));
}

void FailToSaveOutOfMemory(const QString &fileName)
{
    FailToSave(fileName, SystemTexts::tr("there is not enough memory to save the file"));
}

QByteArray ReadAll(const QString &fileName)
{
    QFile file;
    const QString refused = platform::OpenRegularFile(file, fileName);
    if (!refused.isEmpty())
        FailToOpen(fileName, refused);
    if (file.size() > maximumFileSize)
        FailToOpen(fileName, SystemTexts::tr("the file is larger than %1 MB").arg(maximumFileSize >> 20));
    ClearSystemError();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        FailToOpen(fileName, FileErrorReason(file));
    return bytes;
}

void WriteAtomically(const QString &fileName, const QByteArray &bytes)
{
    const QString failed = platform::WriteReplacing(fileName, bytes);
    if (!failed.isEmpty())
        FailToSave(fileName, failed);
}

}   // namespace files
