#pragma once

#include <QByteArrayView>
#include <QChar>

#include <array>
#include <optional>
#include <vector>

namespace codec {

// The encodings plain text is read in. Utf8 to Dos852 are the readings weighed against
// each other, in the order that settles a tie.
enum class TextEncoding { Utf8, Windows1250, Iso8859_2, Iso8859_16, Dos852, Utf16LE, Utf16BE };

// "UTF-8", "Windows-1250", ...
const char *EncodingName(TextEncoding encoding);

// The code page number of a single-byte reading (1250, 28592, 28606, 852); 0 for the others.
int CodePageNumber(TextEncoding encoding);

struct ByteOrderMark {
    TextEncoding encoding = TextEncoding::Utf8;
    int length = 0;   // 0: the text starts with no mark
};
ByteOrderMark FindByteOrderMark(QByteArrayView bytes);

// UTF-16 without a byte order mark, told by its zero bytes: in a phone book most
// characters are ASCII, so at least half the high bytes are zero, hardly any low byte
// is, and no high byte is a CR or LF byte. Other text has few zero bytes or has them
// on both sides.
std::optional<TextEncoding> Utf16ByZeroBytes(QByteArrayView bytes);

// How much a text reads like a Romanian phone book (Romanian, Hungarian, German) in
// each reading: UTF-8 and the single-byte pages. Only the characters beyond ASCII
// differ between readings, so it is given their runs with the ASCII character on
// either side. Each character of a reading weighs for it when it is a letter of those
// languages, in a place and a case that words hold it, and against it when it is a
// control, a letter none of them uses, a sign inside a word, a lowercase letter before
// a capital, a capital after a lowercase letter, or a piece of a table's frame that
// joins no other.
class ReadingEvidence {
public:
    // Utf8Text: runs of a text decoded as UTF-8, weighed in UTF-8 and in the pages as
    // the bytes that spell them. Bytes: runs of bytes from 0x80, in the pages only.
    enum class Source { Utf8Text, Bytes };

    explicit ReadingEvidence(Source source);

    // `before` and `after`: the ASCII characters beside the run; 0 at the text's edge.
    void addRun(const QChar *run, qsizetype length, char16_t before, char16_t after)
    {
        const char16_t c = run->unicode();
        if (length == 1 && c < singleCharacters)
            ++singles_[slot(c, before, after)];
        else
            addLongRun(run, length, before, after);
    }
    void addRun(const unsigned char *run, qsizetype length, char16_t before, char16_t after);
    void addNul() { ++nuls_; }
    void add(const ReadingEvidence &other);

    bool sawNul() const { return nuls_ != 0; }
    // The reading with the most weight; a tie goes to the earlier in TextEncoding's
    // order. With nothing beyond ASCII, UTF-8 where the source is UTF-8 text.
    TextEncoding mostLikely() const;

    static constexpr int readingCount = 5;
    // The weight of each reading, in TextEncoding's order (for the tests and tools).
    std::array<qint64, readingCount> weights() const;

    // A single-character run is counted under its character (up to the end of the Latin
    // letters) and the kind of ASCII character on either side: none or a sign, a
    // lowercase consonant or vowel, a capital consonant or vowel.
    static constexpr char16_t singleCharacters = 0x250;
    static constexpr int contextCount = 5;
    static const std::array<unsigned char, 128> contextOf;

private:
    static std::size_t slot(char16_t c, char16_t before, char16_t after)
    {
        const int first = before < 128 ? contextOf[before] : 0;
        const int second = after < 128 ? contextOf[after] : 0;
        return std::size_t(((c - 0x80) * contextCount + first) * contextCount + second);
    }
    void addLongRun(const QChar *run, qsizetype length, char16_t before, char16_t after);
    // Counts a run of two to four characters or bytes; false when the table is full.
    bool countShortRun(const char16_t *units, int length, int before, int after, quint32 count);
    void weighRun(const char16_t *units, qsizetype length, char16_t before, char16_t after,
        std::array<qint64, readingCount> &weights, qint64 times) const;

    Source source_;
    // Single-character runs, counted by character and context and weighed once at the
    // end: the runs of a Romanian text are mostly one letter long.
    std::vector<quint32> singles_;
    // Runs of two to four, as "ță", likewise; a longer run, or one that finds the table
    // full, is weighed at once.
    struct ShortRun {
        quint64 units = 0;
        quint16 kind = 0;   // length and contexts; 0: an empty place
        quint32 count = 0;
    };
    std::vector<ShortRun> shortRuns_;
    int shortRunCount_ = 0;
    std::array<qint64, readingCount> weights_ {};
    qsizetype nuls_ = 0;
};

// The evidence of bytes that are not UTF-8.
ReadingEvidence WeighBytes(QByteArrayView bytes);

}   // namespace codec
