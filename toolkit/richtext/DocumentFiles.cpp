#include "richtext/DocumentFiles.h"

#include "codec/PlainText.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "system/Exception.h"
#include "system/Files.h"
#include "system/Memory.h"

#include <QFileInfo>

#include <new>

namespace richtext {

namespace {

void RequireForOpen(qint64 needed, const QString &fileName)
{
    const QString shortfall = memory::Shortfall(needed, files::Tr("file"));
    if (!shortfall.isEmpty())
        files::FailToOpen(fileName, shortfall);
}

}   // namespace

codec::RichDocument Decode(QByteArrayView bytes)
{
    return codec::LooksLikeRtf(bytes) ? codec::ReadRtf(bytes) : codec::ReadPlainText(bytes);
}

void Load(const QString &fileName, const LoadTarget &target)
{
    // Qt does not check every allocation of its text document: where memory runs out
    // there, the program crashes. So what a load needs is asked for first: about five
    // times the file to read and decode it, then what the box takes for its lines.
    try {
        RequireForOpen(QFileInfo(fileName).size() * readingBytesPerByte, fileName);
        // The file's bytes go before the box is filled, which is when memory peaks.
        const codec::RichDocument document = Decode(files::ReadAll(fileName));
        RequireForOpen(target.estimatedBytes(document), fileName);
        target.fill(document);
    } catch (const std::bad_alloc &) {
        files::FailToOpen(fileName, files::Tr("There is not enough memory to load the file"));
    }
}

void Save(const QString &fileName, const codec::RichDocument &document)
{
    QByteArray bytes;
    try {
        bytes = codec::WriteRtf(document);
    } catch (const std::bad_alloc &) {
        files::FailToSave(fileName, files::Tr("There is not enough memory to save the file"));
    }
    files::WriteAtomically(fileName, bytes);
}

}   // namespace richtext
