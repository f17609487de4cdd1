#pragma once

#include "codec/RichDocument.h"

#include <QByteArray>

namespace codec {

// What a written document names as its own: the font and size of the text that no run
// formats, and the program that wrote it. The program decides them.
struct RtfWriterOptions {
    QString defaultFontFamily;
    int defaultHalfPoints = 24;   // RTF's own default size
    QString generator;   // "name version"; empty: none is written
};

// Writes the document as one Rich Text Format document (code page 1250, every
// non-ASCII character as \uN with a one-byte fallback, a \par after every paragraph).
QByteArray WriteRtf(const RichDocument &document, const RtfWriterOptions &options);

}   // namespace codec
