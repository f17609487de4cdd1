#pragma once

#include "codec/RichDocument.h"
#include "codec/TextEncoding.h"

#include <QByteArrayView>

namespace codec {

// Decodes a plain text file. Its encoding is decided from the whole file, in this order:
//   1. a byte order mark: UTF-8, UTF-16 LE or UTF-16 BE;
//   2. UTF-16 LE or BE without a mark, from where its zero bytes are (Utf16ByZeroBytes);
//   3. UTF-8 validity: bytes that are not UTF-8 are read in a single-byte page;
//   4. the reading in which the text reads most like a Romanian phone book
//      (ReadingEvidence), among UTF-8 where the bytes are valid UTF-8 and the pages
//      Windows-1250, ISO-8859-2, ISO-8859-16 and DOS 852; a tie goes to the first of
//      them in that order.
// Lines may end in CR LF, LF, CR or U+2029; a last line without an end is a line all
// the same. NULs are dropped. An empty file has no lines. `encoding`, where given,
// receives the encoding the file was read in.
RichDocument ReadPlainText(QByteArrayView bytes, TextEncoding *encoding = nullptr);

}   // namespace codec
