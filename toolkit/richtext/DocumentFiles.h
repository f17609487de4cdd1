#pragma once

#include "codec/RichDocument.h"
#include "codec/rtf/Writer.h"

#include <QByteArrayView>
#include <QString>

#include <functional>

// What a load and a save do with a file of the rich-text box, from the bytes on disk
// to the document and back. Failures are thrown as Exception naming the file and the
// reason.
namespace richtext {

// The document in a file's bytes: a Rich Text Format document or else plain text.
codec::RichDocument Decode(QByteArrayView bytes);

// The box that a load fills: how many bytes it would take to hold a document, and
// the filling itself, which must leave the box empty if it runs out of memory.
struct LoadTarget {
    std::function<qint64(const codec::RichDocument &)> estimatedBytes;
    std::function<void(const codec::RichDocument &)> fill;
};

// Reads, decodes and fills. Refuses, before anything is changed, a file that the
// memory left cannot hold, so that the box keeps what it held.
void Load(const QString &fileName, const LoadTarget &target);

// Writes the document as Rich Text Format, replacing the file whole or not at all.
void Save(
    const QString &fileName, const codec::RichDocument &document, const codec::RtfWriterOptions &options);

}   // namespace richtext
