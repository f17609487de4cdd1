#include "codec/rtf/BodyText.h"

namespace codec::rtf {

void BodyText::openText(int format)
{
    textNeedsPreparation_ = false;
    format_ = format;
    output_.useFormat(format);
    flushSurrogate();
    if (pendingCellTab_) {
        pendingCellTab_ = false;
        emitCharacter(u'\t');
    }
}

void BodyText::emitCodeUnit(char16_t c)
{
    const DecodedUnits decoded = decoder_.codeUnit(c);
    for (int i = 0; i < decoded.count; ++i)
        emitCharacter(decoded.units[i]);
    if (decoder_.hasHighSurrogate())
        textNeedsPreparation_ = true;
    if (decoded.paragraphEnd)
        endParagraph();
}

void BodyText::flushPendingBytes(const CodePage &page)
{
    // Decoded apart first: the text may hold characters the model keeps for itself,
    // which go through emitCodeUnit.
    for (QChar c : decoder_.takeDecoded(page)) {
        const char16_t unit = c.unicode();
        if (unit >= 0x20 && unit != 0x2029 && !QChar::isSurrogate(unit) && !decoder_.hasHighSurrogate()) {
            emitCharacter(unit);
        } else if (QChar::isSurrogate(unit)) {
            // UTF-8 yields whole pairs: pass them through together.
            beginText();
            output_.put(c);
        } else {
            emitCodeUnit(unit);
        }
    }
}

void BodyText::endParagraph()
{
    flushSurrogate();
    pendingCellTab_ = false;
    output_.closeRun();
    output_.put(QChar(u'\n'));
    paragraphHasContent_ = false;
    if (format_ >= 0)
        textNeedsPreparation_ = true;   // the next paragraph opens its own run
}

void BodyText::endCell()
{
    if (pendingCellTab_) {
        pendingCellTab_ = false;
        emitCharacter(u'\t');
    }
    pendingCellTab_ = true;
    textNeedsPreparation_ = true;
}

void BodyText::endNestedRow()
{
    pendingCellTab_ = false;
    emitCharacter(lineSeparator);
}

RichDocument BodyText::finishText()
{
    flushSurrogate();
    if (paragraphHasContent_)
        endParagraph();
    return output_.finish();
}

}   // namespace codec::rtf
