#include "codec/rtf/CharacterState.h"

#include "codec/rtf/Tables.h"

namespace codec::rtf {

CharacterState::Word CharacterState::apply(const Token &token)
{
    const int parameter = token.parameterAsInt();
    // A toggle without a parameter, or with one other than 0, turns the property on.
    const bool on = !token.hasParameter || token.parameter != 0;
    switch (token.keyword) {
    case Keyword::Font:
        font = parameter;
        return Word::Format;
    case Keyword::Bold:
        bold = on;
        return Word::Format;
    case Keyword::Italic:
        italic = on;
        return Word::Format;
    case Keyword::Underline:
        underline = on;
        return Word::Format;
    case Keyword::UnderlineNone:
        underline = false;
        return Word::Format;
    case Keyword::Strike:
    case Keyword::StrikeDouble:
        strikeOut = on;
        return Word::Format;
    case Keyword::FontSize:
        halfPoints = token.hasParameter && parameter > 0 ? parameter : defaultHalfPointsOfRtf;
        return Word::Format;
    case Keyword::Foreground:
        foreground = parameter;
        return Word::Format;
    case Keyword::Background:
        background = parameter;
        return Word::Format;
    case Keyword::Highlight:
        highlight = parameter;
        return Word::Format;
    case Keyword::Plain:
        *this = CharacterState {};
        return Word::Format;
    case Keyword::Hidden:
        hidden = on;
        return Word::Hidden;
    default:
        return Word::Other;
    }
}

int FormatCache::refresh(const CharacterState &s, int defaultFont, const FontTable &fonts,
    const ColorTable &colors, RichDocument &document)
{
    dirty_ = false;
    if (keyValid_ && s == key_)
        return current_;
    key_ = s;
    keyValid_ = true;
    CharacterFormat format;
    static_cast<Toggles &>(format) = s;
    format.fontFamily = fonts.familyOf(s.font < 0 ? defaultFont : s.font, defaultFont);
    if (s.halfPoints != defaultHalfPoints_)
        format.halfPoints = s.halfPoints;
    format.foreground = colors.at(s.foreground);
    format.background = s.highlight > 0 ? colors.at(s.highlight) : colors.at(s.background);
    current_ = format.isDefault() ? -1 : document.intern(format);
    return current_;
}

}   // namespace codec::rtf
