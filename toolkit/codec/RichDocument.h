#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace codec {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb &a, const Rgb &b)
    {
        return a.red == b.red && a.green == b.green && a.blue == b.blue;
    }
    friend bool operator!=(const Rgb &a, const Rgb &b) { return !(a == b); }
};

// The character properties that are either on or off, which the reader's state of a
// group holds as they are.
struct Toggles {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    auto tied() const { return std::tie(bold, italic, underline, strikeOut); }
};

// The character formatting that the rich-text box can show. A member left at its
// default means "as the document's default", not "explicitly off".
struct CharacterFormat : Toggles {
    QString fontFamily;   // empty: the default font
    int halfPoints = 0;   // font size in half points; 0: the default size
    std::optional<Rgb> foreground;
    std::optional<Rgb> background;

    // Every member, which comparing and hashing go through: a new member goes here too.
    auto tied() const
    {
        return std::tuple_cat(Toggles::tied(), std::tie(fontFamily, halfPoints, foreground, background));
    }
    bool isDefault() const { return *this == CharacterFormat {}; }

    friend bool operator==(const CharacterFormat &a, const CharacterFormat &b)
    {
        return a.tied() == b.tied();
    }
    friend bool operator!=(const CharacterFormat &a, const CharacterFormat &b) { return !(a == b); }
};

struct CharacterFormatHash {
    std::size_t operator()(const CharacterFormat &format) const;
};

// A stretch of text in one format. Positions count UTF-16 code units of RichDocument::text.
struct FormatRun {
    qsizetype start = 0;
    qsizetype length = 0;
    int format = 0;   // index into RichDocument::formats

    friend bool operator==(const FormatRun &a, const FormatRun &b)
    {
        return a.start == b.start && a.length == b.length && a.format == b.format;
    }
};

// A document as the codecs see it: paragraphs of formatted text.
//
// `text` holds every paragraph followed by '\n', the last one too, so an empty
// document is "" and a document of one empty paragraph is "\n". Inside a paragraph,
// '\t' is a tab and U+2028 a line break that does not end the paragraph. The text
// never holds '\r', U+2029 or NUL.
//
// `runs` are sorted by start, do not overlap, and name only non-default formats;
// text that no run covers has the default format. A document built from plain
// lines has no runs at all.
struct RichDocument {
    QString text;
    std::vector<CharacterFormat> formats;
    std::vector<FormatRun> runs;

    QStringList lines() const;
    qsizetype lineCount() const { return text.count(QLatin1Char('\n')); }

    // Appends text in a format, merging with the previous run where the format is the same.
    void append(QStringView text, const CharacterFormat &format);
    // Ends the current paragraph.
    void endParagraph() { text.append(QLatin1Char('\n')); }
    // The index of `format` in `formats`, added there when missing. Documents can hold
    // a hundred thousand formats, so this is a hash look-up, not a search.
    int intern(const CharacterFormat &format);

    friend bool operator==(const RichDocument &a, const RichDocument &b);
    friend bool operator!=(const RichDocument &a, const RichDocument &b) { return !(a == b); }

private:
    void indexNewFormats();

    // Covers formats[0, indexed_); formats pushed by hand are indexed when next needed.
    std::unordered_map<CharacterFormat, int, CharacterFormatHash> index_;
    std::size_t indexed_ = 0;
};

}   // namespace codec
