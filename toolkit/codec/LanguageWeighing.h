#pragma once

#include "codec/TextEncoding.h"

#include <QChar>

#include <array>

// How much a run of characters beyond ASCII reads like Romanian, Hungarian or German in
// each reading, as ReadingEvidence describes: what each character says from its kind
// and the characters beside it.
namespace codec {

// The single-byte readings, in TextEncoding's order; a run's weights are UTF-8's, then
// theirs.
constexpr std::array pageReadings
    = { TextEncoding::Windows1250, TextEncoding::Iso8859_2, TextEncoding::Iso8859_16, TextEncoding::Dos852 };

// Adds to `weights` a run of characters decoded as UTF-8, in every reading: as it is,
// and as each page reads the bytes that spell it. `before` and `after`: the ASCII
// characters beside the run; 0 at the text's edge.
void WeighUtf8Run(const QChar *run, qsizetype length, char16_t before, char16_t after, qint64 *weights);

// Adds to `weights` a run of bytes from 0x80, in the single-byte readings only.
void WeighByteRun(
    const unsigned char *run, qsizetype length, char16_t before, char16_t after, qint64 *weights);

}   // namespace codec
