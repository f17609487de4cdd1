#pragma once

#include "codec/RichDocument.h"

#include <QRandomGenerator>
#include <QStringList>

#include <vector>

namespace support {

// Bold, the rest as by default.
inline codec::CharacterFormat Bold()
{
    codec::CharacterFormat format;
    format.bold = true;
    return format;
}

// A format whose style, family and size are drawn at random, the family and size among
// `families` and `halfPoints` (an empty family and 0 being the defaults); no colours.
inline codec::CharacterFormat RandomFormat(
    QRandomGenerator &random, const QStringList &families, const std::vector<int> &halfPoints)
{
    codec::CharacterFormat format;
    format.bold = random.bounded(2) == 0;
    format.italic = random.bounded(2) == 0;
    format.underline = random.bounded(2) == 0;
    format.strikeOut = random.bounded(2) == 0;
    format.fontFamily = families.at(random.bounded(families.size()));
    format.halfPoints = halfPoints.at(random.bounded(int(halfPoints.size())));
    return format;
}

}   // namespace support
