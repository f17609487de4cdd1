#pragma once

#include <cstdint>
#include <string_view>

namespace codec::rtf {

enum class Keyword : std::uint8_t {
    Unknown,
    // destinations
    SkippedDestination,
    FontTable,
    ColorTable,
    Rtf,
    Urtf,
    Upr,
    Ud,
    Field,
    FieldResult,
    NestedTableProperties,
    // header
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCodePage,
    DefaultFont,
    // font and colour tables
    Font,
    FontCharset,
    Red,
    Green,
    Blue,
    // character formatting
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    StrikeDouble,
    FontSize,
    Foreground,
    Background,
    Highlight,
    Plain,
    Hidden,
    // paragraphs
    ParagraphDefaults,
    InTable,
    Paragraph,
    Section,
    Line,
    Page,
    Column,
    Cell,
    NestedCell,
    Row,
    NestedRow,
    // characters
    Tab,
    EmDash,
    EnDash,
    LeftQuote,
    RightQuote,
    LeftDoubleQuote,
    RightDoubleQuote,
    Bullet,
    EmSpace,
    EnSpace,
    QuarterEmSpace,
    ZeroWidthJoiner,
    ZeroWidthNonJoiner,
    LeftToRightMark,
    RightToLeftMark,
    // Unicode and binary
    UnicodeCharacter,
    UnicodeSkip,
    Binary,
};

struct KeywordEntry {
    std::string_view name;
    Keyword keyword;
};

// How each word above is spelled, a line for each spelling; kept beside the words so
// that a new one is added in one place.
inline constexpr KeywordEntry keywordList[] = {
    { "fonttbl", Keyword::FontTable },
    { "colortbl", Keyword::ColorTable },
    { "rtf", Keyword::Rtf },
    { "urtf", Keyword::Urtf },
    { "upr", Keyword::Upr },
    { "ud", Keyword::Ud },
    { "field", Keyword::Field },
    { "fldrslt", Keyword::FieldResult },
    { "nesttableprops", Keyword::NestedTableProperties },
    { "ansi", Keyword::Ansi },
    { "mac", Keyword::Mac },
    { "pc", Keyword::Pc },
    { "pca", Keyword::Pca },
    { "ansicpg", Keyword::AnsiCodePage },
    { "deff", Keyword::DefaultFont },
    { "f", Keyword::Font },
    { "fcharset", Keyword::FontCharset },
    { "red", Keyword::Red },
    { "green", Keyword::Green },
    { "blue", Keyword::Blue },
    { "b", Keyword::Bold },
    { "i", Keyword::Italic },
    { "ul", Keyword::Underline },
    { "uld", Keyword::Underline },
    { "uldb", Keyword::Underline },
    { "ulw", Keyword::Underline },
    { "ulwave", Keyword::Underline },
    { "uldash", Keyword::Underline },
    { "uldashd", Keyword::Underline },
    { "uldashdd", Keyword::Underline },
    { "ulhwave", Keyword::Underline },
    { "ulldash", Keyword::Underline },
    { "ulth", Keyword::Underline },
    { "ulthd", Keyword::Underline },
    { "ulthdash", Keyword::Underline },
    { "ulthdashd", Keyword::Underline },
    { "ulthdashdd", Keyword::Underline },
    { "ulthldash", Keyword::Underline },
    { "ululdbwave", Keyword::Underline },
    { "ulnone", Keyword::UnderlineNone },
    { "strike", Keyword::Strike },
    { "striked", Keyword::StrikeDouble },
    { "fs", Keyword::FontSize },
    { "cf", Keyword::Foreground },
    { "cb", Keyword::Background },
    { "chcbpat", Keyword::Background },
    { "highlight", Keyword::Highlight },
    { "plain", Keyword::Plain },
    { "v", Keyword::Hidden },
    { "pard", Keyword::ParagraphDefaults },
    { "intbl", Keyword::InTable },
    { "par", Keyword::Paragraph },
    { "sect", Keyword::Section },
    { "line", Keyword::Line },
    { "page", Keyword::Page },
    { "column", Keyword::Column },
    { "cell", Keyword::Cell },
    { "nestcell", Keyword::NestedCell },
    { "row", Keyword::Row },
    { "nestrow", Keyword::NestedRow },
    { "tab", Keyword::Tab },
    { "emdash", Keyword::EmDash },
    { "endash", Keyword::EnDash },
    { "lquote", Keyword::LeftQuote },
    { "rquote", Keyword::RightQuote },
    { "ldblquote", Keyword::LeftDoubleQuote },
    { "rdblquote", Keyword::RightDoubleQuote },
    { "bullet", Keyword::Bullet },
    { "emspace", Keyword::EmSpace },
    { "enspace", Keyword::EnSpace },
    { "qmspace", Keyword::QuarterEmSpace },
    { "zwj", Keyword::ZeroWidthJoiner },
    { "zwnj", Keyword::ZeroWidthNonJoiner },
    { "ltrmark", Keyword::LeftToRightMark },
    { "rtlmark", Keyword::RightToLeftMark },
    { "u", Keyword::UnicodeCharacter },
    { "uc", Keyword::UnicodeSkip },
    { "bin", Keyword::Binary },
};

bool IsDestination(Keyword keyword);
// The character a word such as \emdash stands for, or 0 for other words.
char16_t CharacterOf(Keyword keyword);
// The character a control symbol such as \~ stands for, or 0 for other symbols.
char16_t CharacterOfSymbol(unsigned char symbol);

// Control words by name: an open-addressing table keyed by the FNV-1a hash, which the
// tokenizer computes while it reads the letters.
class KeywordTable {
public:
    static constexpr std::uint32_t initialHash = 2166136261u;
    static std::uint32_t hash(std::uint32_t state, unsigned char letter)
    {
        return (state ^ letter) * 16777619u;
    }

    KeywordTable();

    Keyword find(std::string_view name, std::uint32_t nameHash) const
    {
        for (std::uint32_t slot = nameHash & mask;; slot = (slot + 1) & mask) {
            const Slot &entry = entries_[slot];
            if (entry.name.empty())
                return Keyword::Unknown;
            if (entry.name.size() == name.size() && SameLetters(entry.name.data(), name.data(), name.size()))
                return entry.keyword;
        }
    }

private:
    // Keywords are a few letters long: a plain loop beats a call to memcmp.
    static bool SameLetters(const char *a, const char *b, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i) {
            if (a[i] != b[i])
                return false;
        }
        return true;
    }

    struct Slot {
        std::string_view name;
        Keyword keyword = Keyword::Unknown;
    };
    static constexpr std::uint32_t mask = 1023;

    void insert(std::string_view name, Keyword keyword);

    Slot entries_[mask + 1];
};

const KeywordTable &Keywords();

}   // namespace codec::rtf
