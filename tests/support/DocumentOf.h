#pragma once

#include "codec/RichDocument.h"

#include <QStringList>

namespace support {

// The lines as a document: a paragraph each, no formats. Header-only, so that the
// benchmarks build their documents the same way without the tests' library.
inline codec::RichDocument DocumentOf(const QStringList &lines)
{
    codec::RichDocument document;
    for (const QString &line : lines) {
        document.text.append(line);
        document.endParagraph();
    }
    return document;
}

}   // namespace support
