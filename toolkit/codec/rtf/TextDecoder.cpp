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

void TextDecoder::skipFallback(Tokenizer &tokens)
{
    // Each byte, escape or control word is one character of the fallback; CR, LF
    // and NUL are none.
    const unsigned char c = tokens.peek();
    if (c == '{' || c == '}') {
        skipRemaining_ = 0;
        return;
    }
    tokens.take();
    if (c == '\r' || c == '\n' || c == 0)
        return;
    --skipRemaining_;
    if (c == '\\') {
        const Token token = tokens.control();
        if (token.type == Token::Word && token.keyword == Keyword::Binary)
            tokens.binary(token.parameter);
    }
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

bool PageChoice::applyWord(const Token &token)
{
    switch (token.keyword) {
    case Keyword::Ansi:
        setDocumentPage(1252);
        return true;
    case Keyword::Mac:
        setDocumentPage(10000);
        return true;
    case Keyword::Pc:
        setDocumentPage(437);
        return true;
    case Keyword::Pca:
        setDocumentPage(850);
        return true;
    case Keyword::AnsiCodePage:
        setDocumentPage(token.parameterAsInt());
        return true;
    default:
        return false;
    }
}

void PageChoice::choose(int font, int defaultFont, const FontTable &fonts)
{
    const int number = fonts.codePageOf(font, defaultFont);
    page_ = number == 0 ? documentPage_ : CodePage::forNumber(number);
    font_ = font;
    valid_ = true;
}

}   // namespace codec::rtf
