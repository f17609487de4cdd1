#include "codec/rtf/TextDecoder.h"

#include "codec/rtf/Tables.h"

namespace codec::rtf {

char16_t UnicodeUnit(std::int64_t value)
{
    if (value < 0 && value >= -32768)
        value += 65536;
    if (value > 0 && value <= 0xFFFF)
        return char16_t(value);
    return replacementCharacter;
}

const QString &TextDecoder::takeDecoded(const CodePage &page)
{
    scratch_.resize(0);
    page.decode(pending_, scratch_);
    pending_.clear();
    leadOpen_ = false;
    return scratch_;
}

DecodedUnits TextDecoder::codeUnit(char16_t c)
{
    DecodedUnits result;
    if (high_ != 0) {
        const char16_t high = high_;
        high_ = 0;
        if (QChar::isLowSurrogate(c)) {
            result.add(high);
            result.add(c);
            return result;
        }
        result.add(replacementCharacter);
    }
    if (QChar::isHighSurrogate(c)) {
        high_ = c;
    } else if (QChar::isLowSurrogate(c) || c == 0) {
        result.add(replacementCharacter);
    } else if (c == u'\r' || c == u'\n' || c == 0x2029) {
        result.paragraphEnd = true;
    } else {
        result.add(c);
    }
    return result;
}

void PageChoice::choose(int font, int defaultFont, const FontTable &fonts)
{
    const int number = fonts.codePageOf(font, defaultFont);
    page_ = number == 0 ? documentPage_ : CodePage::forNumber(number);
    font_ = font;
    valid_ = true;
}

}   // namespace codec::rtf
