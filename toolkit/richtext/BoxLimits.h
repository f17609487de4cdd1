#pragma once

#include "codec/RichDocument.h"

#include <QStringView>

class QTextDocument;

// What Qt's document, layout and font cache are given at most, whatever a file or a
// paste holds: past these a load takes minutes and a keystroke seconds.
namespace richtext {

namespace limits {
constexpr int smallestHalfPoints = 2;   // 1 pt
constexpr int largestHalfPoints = 3276;   // 1638 pt, as word processors allow
constexpr int fontSizes = 32;   // distinct sizes in the box
constexpr int fontFamilies = 32;   // distinct families in the box
constexpr int colours = 64;   // distinct text colours, and as many backgrounds
constexpr int runsPerParagraph = 256;   // changes of format within one line
constexpr int longestWord = 500;   // characters between two break opportunities
}   // namespace limits

// The model as the box can hold it. Sizes are clamped to the range above; a size,
// family or colour beyond the number the box may hold (counting those `joined`
// already holds) becomes the nearest one kept (a family becomes the default one);
// a line with more runs than allowed has its runs merged in consecutive groups,
// each group taking the format of its longest run. Text is never changed.
codec::RichDocument FitForBox(const codec::RichDocument &model, const QTextDocument *joined = nullptr);

// Whether the text holds a stretch without a blank longer than limits::longestWord:
// laid out with breaks only at word boundaries, such a line costs time that grows
// with the square of its length.
bool NeedsBreaksAnywhere(QStringView text);

}   // namespace richtext
