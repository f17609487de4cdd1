#pragma once

#include "codec/RichDocument.h"

#include <QtGlobal>

// How much memory a document takes on its way into the box, so that a load or a paste
// that would not fit is refused before Qt runs out: Qt's document does not survive it.
namespace richtext {

// What reading and decoding take at most for each byte of a file, the file included.
constexpr qint64 readingBytesPerByte = 5;

// About how many bytes the box will take for the model beyond the model itself:
// from Qt's own figures for each paragraph, character and run (measured, rounded up).
// A box that has been on screen keeps a layout for every paragraph it is given.
qint64 EstimatedBytes(const codec::RichDocument &model, bool intoShownBox = false);

}   // namespace richtext
