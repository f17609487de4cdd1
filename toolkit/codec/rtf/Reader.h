#pragma once

#include "codec/RichDocument.h"

#include <QByteArrayView>

namespace codec {

// True when the bytes are a Rich Text Format document: after an optional UTF-8
// byte order mark and ASCII blanks they begin with "{\rtf" or "{\urtf".
bool LooksLikeRtf(QByteArrayView bytes);

// Reads a Rich Text Format document. Never fails: whatever cannot be understood
// is skipped, and the text that can be recovered is returned. Time and memory are
// linear in the size of the input.
RichDocument ReadRtf(QByteArrayView bytes);

}   // namespace codec
