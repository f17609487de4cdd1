#include "codec/rtf/Tables.h"

#include <algorithm>

namespace codec::rtf {

namespace {

constexpr int maximumFontNameLength = 256;

}   // namespace

bool FontTable::begin(int number, std::size_t depth, const CodePage &ansi)
{
    const bool stored = pending_ && (!nameBytes_.isEmpty() || !name_.isEmpty()) && commit(ansi);
    pending_ = true;
    number_ = number;
    charset_ = -1;
    depth_ = depth;
    nameBytes_.clear();
    name_.clear();
    return stored;
}

void FontTable::addNameByte(unsigned char c)
{
    if (pending_ && nameBytes_.size() < maximumFontNameLength * 4)
        nameBytes_.append(char(c));
}

void FontTable::addNameUnit(char16_t unit, const CodePage &ansi)
{
    if (!pending_)
        return;
    decodeName(ansi);
    if (name_.size() < maximumFontNameLength)
        name_.append(QChar(unit));
}

void FontTable::decodeName(const CodePage &ansi)
{
    if (nameBytes_.isEmpty())
        return;
    // A Symbol font's own name is plain text, not symbols.
    const CodePage page = CodePage::forCharset(charset_, ansi);
    (page.isSymbol() ? ansi : page).decode(nameBytes_, name_);
    nameBytes_.clear();
}

bool FontTable::commit(const CodePage &ansi)
{
    if (!pending_)
        return false;
    pending_ = false;
    decodeName(ansi);
    QString name = name_.trimmed();
    name_.clear();
    if (name.size() > maximumFontNameLength) {
        // Never half a surrogate pair, and no blank at the cut: the name must read back
        // as it is kept.
        name.truncate(maximumFontNameLength);
        if (name.back().isHighSurrogate())
            name.chop(1);
        name = name.trimmed();
    }
    if (fonts_.size() >= std::size_t(maximumTableEntries) && fonts_.find(number_) == fonts_.end())
        return false;
    Entry &entry = fonts_[number_];
    entry.name = name;
    entry.codePage = charset_ < 0 ? 0 : CodePage::numberForCharset(charset_);
    return true;
}

int FontTable::codePageOf(int font, int defaultFont) const
{
    int number = 0;
    const auto found = fonts_.find(font);
    if (found != fonts_.end())
        number = found->second.codePage;
    if (number == 0) {
        const auto standard = fonts_.find(defaultFont);
        if (standard != fonts_.end())
            number = standard->second.codePage;
    }
    return number;
}

QString FontTable::familyOf(int font, int defaultFont) const
{
    if (font == defaultFont)
        return {};
    const auto found = fonts_.find(font);
    const auto standard = fonts_.find(defaultFont);
    const QString defaultName = standard == fonts_.end() ? QString() : standard->second.name;
    if (found != fonts_.end() && found->second.name != defaultName)
        return found->second.name;
    return {};
}

void ColorTable::setComponent(Keyword keyword, int value)
{
    const auto component = std::uint8_t(std::clamp(value, 0, 255));
    hasValue_ = true;
    if (keyword == Keyword::Red)
        color_.red = component;
    else if (keyword == Keyword::Green)
        color_.green = component;
    else
        color_.blue = component;
}

void ColorTable::commit()
{
    if (colors_.size() < std::size_t(maximumTableEntries))
        colors_.push_back(hasValue_ ? std::optional<Rgb>(color_) : std::nullopt);
    hasValue_ = false;
    color_ = Rgb {};
}

}   // namespace codec::rtf
