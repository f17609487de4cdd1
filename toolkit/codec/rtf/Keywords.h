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
