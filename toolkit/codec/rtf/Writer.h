#pragma once

#include "codec/RichDocument.h"

#include <QByteArray>

namespace codec {

struct RtfWriterOptions {
    QString defaultFontFamily = QStringLiteral("MS Sans Serif");
    int defaultHalfPoints = 16;
    QString generator = QStringLiteral("carte de telefon 1.0.0.0");
};

// Writes the document as one Rich Text Format document (code page 1250, every
// non-ASCII character as \uN with a one-byte fallback, a \par after every paragraph).
QByteArray WriteRtf(const RichDocument &document, const RtfWriterOptions &options = {});

}   // namespace codec
