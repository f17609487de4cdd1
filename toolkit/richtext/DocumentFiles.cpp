#include "richtext/DocumentFiles.h"

#include "codec/PlainText.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "richtext/MemoryEstimate.h"
#include "system/Exception.h"
#include "system/Files.h"

#include <QFileInfo>

#include <new>

namespace richtext {

codec::RichDocument Decode(QByteArrayView bytes)
{
    return codec::LooksLikeRtf(bytes) ? codec::ReadRtf(bytes) : codec::ReadPlainText(bytes);
}

namespace {

// Running out of memory on the way, which Qt and the codecs report as std::bad_alloc,
// is the load's or the save's failure, reported with the file's name.
template <typename Work>
void ReportingOutOfMemory(const QString &fileName, void (*report)(const QString &), const Work &work)
{
    try {
        work();
    } catch (const std::bad_alloc &) {
        report(fileName);
    }
}

}   // namespace

void Load(const QString &fileName, const LoadTarget &target)
{
    ReportingOutOfMemory(fileName, files::FailToOpenOutOfMemory, [&] {
        // Qt does not check every allocation of its text document: where memory runs out
        // there, the program crashes. So what a load needs is asked for first: about five
        // times the file to read and decode it, then what the box takes for its lines.
        files::RequireMemoryToOpen(fileName, QFileInfo(fileName).size() * readingBytesPerByte);
        // The file's bytes go before the box is filled, which is when memory peaks.
        const codec::RichDocument document = Decode(files::ReadAll(fileName));
        files::RequireMemoryToOpen(fileName, target.estimatedBytes(document));
        target.fill(document);
    });
}

void Save(
    const QString &fileName, const codec::RichDocument &document, const codec::RtfWriterOptions &options)
{
    QByteArray bytes;
    ReportingOutOfMemory(
        fileName, files::FailToSaveOutOfMemory, [&] { bytes = codec::WriteRtf(document, options); });
    files::WriteAtomically(fileName, bytes);
}

}   // namespace richtext
