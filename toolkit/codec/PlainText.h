#pragma once

#include "codec/RichDocument.h"

#include <QByteArrayView>

namespace codec {

// Decodes a plain text file: UTF-8 with or without a byte order mark, UTF-16 with
// a byte order mark, otherwise Windows-1250. Lines may end in CR LF, LF or CR; a
// last line without an end is a line all the same. An empty file has no lines.
RichDocument ReadPlainText(QByteArrayView bytes);

}   // namespace codec
