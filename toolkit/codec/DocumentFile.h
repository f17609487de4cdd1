#pragma once

#include "RichDocument.h"

#include <QByteArrayView>

namespace codec {

// Reads the bytes of a file that the rich-text box loads: a Rich Text Format
// document or else plain text.
RichDocument readDocument(QByteArrayView bytes);

}   // namespace codec
