#include "codec/rtf/Writer.h"

#include "codec/CodePages.h"
#include "codec/Hex.h"

#include <QStringView>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace codec {

namespace {

struct FallbackTable {
    // The letters and signs of cp1250 lie below U+0300 and are looked up directly; the
    // few others (punctuation, euro, trade mark) are searched.
    unsigned char byteFor[0x0300] = {};
    char16_t punctuation[32] = {};
    unsigned char punctuationBytes[32] = {};
    int punctuationCount = 0;

    FallbackTable()
    {
        char upperBytes[128];
        for (int i = 0; i < 128; ++i)
            upperBytes[i] = char(0x80 + i);
        QString upperHalf;
        CodePage::forNumber(1250).decode(QByteArrayView(upperBytes, 128), upperHalf);
        for (int i = 0; i < 128 && i < upperHalf.size(); ++i) {
            const char16_t unicode = upperHalf[i].unicode();
            // The bytes cp1250 leaves undefined read as C1 controls: no fallback for those.
            if (unicode < 0xA0)
                continue;
            if (unicode < 0x0300) {
                byteFor[unicode] = static_cast<unsigned char>(0x80 + i);
            } else {
                punctuation[punctuationCount] = unicode;
                punctuationBytes[punctuationCount] = static_cast<unsigned char>(0x80 + i);
                ++punctuationCount;
            }
        }
        // Romanian comma-below letters are missing from cp1250; readers that only see
        // the fallback should still get the cedilla look-alikes rather than '?'.
        byteFor[0x0218] = 0xAA;
        byteFor[0x0219] = 0xBA;
        byteFor[0x021A] = 0xDE;
        byteFor[0x021B] = 0xFE;
    }

    unsigned char byteFor16(char16_t unit) const
    {
        if (unit < 0x0300)
            return byteFor[unit] != 0 ? byteFor[unit] : '?';
        for (int i = 0; i < punctuationCount; ++i) {
            if (punctuation[i] == unit)
                return punctuationBytes[i];
        }
        return '?';
    }
};

const FallbackTable &Fallbacks()
{
    static const FallbackTable table;
    return table;
}

// Grows by doubling and writes through a raw pointer, so that appending a long stretch
// of ASCII costs one capacity check instead of one per character.
class Output {
public:
    explicit Output(qsizetype expected) { bytes_.resize(std::max<qsizetype>(expected, 256)); }

    void ensure(qsizetype more)
    {
        if (used_ + more > bytes_.size())
            bytes_.resize(std::max(bytes_.size() * 2, used_ + more));
    }
    char *cursor() { return bytes_.data() + used_; }
    void advance(qsizetype count) { used_ += count; }

    void append(const char *text, qsizetype length)
    {
        ensure(length);
        std::memcpy(cursor(), text, size_t(length));
        used_ += length;
    }
    template <qsizetype N> void append(const char (&literal)[N]) { append(literal, N - 1); }
    void append(const QByteArray &text) { append(text.constData(), text.size()); }
    void appendNumber(qint64 number)
    {
        char digits[24];
        const int length = std::snprintf(digits, sizeof digits, "%lld", static_cast<long long>(number));
        append(digits, length);
    }

    QByteArray take()
    {
        bytes_.truncate(used_);
        return std::move(bytes_);
    }

private:
    QByteArray bytes_;
    qsizetype used_ = 0;
};

bool IsOrdinaryAscii(char16_t unit)
{
    return unit >= 0x20 && unit < 0x7F && unit != u'\\' && unit != u'{' && unit != u'}';
}

// Copies the leading ordinary ASCII of units[0, size) to `to`, eight units at a time
// where the processor allows, and returns how many were copied.
qsizetype CopyOrdinaryAscii(const char16_t *units, qsizetype size, char *to)
{
    qsizetype i = 0;
#ifdef __SSE2__
    // Signed comparison also rejects units from 0x8000 up, which read as negative.
    const __m128i belowFirst = _mm_set1_epi16(0x1F);
    const __m128i pastLast = _mm_set1_epi16(0x7F);
    const __m128i backslash = _mm_set1_epi16('\\');
    const __m128i openBrace = _mm_set1_epi16('{');
    const __m128i closeBrace = _mm_set1_epi16('}');
    for (; i + 8 <= size; i += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(units + i));
        const __m128i inRange
            = _mm_and_si128(_mm_cmpgt_epi16(block, belowFirst), _mm_cmplt_epi16(block, pastLast));
        const __m128i needsEscape = _mm_or_si128(_mm_cmpeq_epi16(block, backslash),
            _mm_or_si128(_mm_cmpeq_epi16(block, openBrace), _mm_cmpeq_epi16(block, closeBrace)));
        if (_mm_movemask_epi8(_mm_andnot_si128(needsEscape, inRange)) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i *>(to + i), _mm_packus_epi16(block, block));
    }
#endif
    for (; i < size && IsOrdinaryAscii(units[i]); ++i)
        to[i] = char(units[i]);
    return i;
}

// Appends one UTF-16 code unit as \uN (signed 16-bit) and its cp1250 fallback byte.
void AppendUnicodeUnit(Output &out, char16_t unit, unsigned char fallback)
{
    out.ensure(16);
    char *start = out.cursor();
    char *p = start;
    *p++ = '\\';
    *p++ = 'u';
    int value = unit >= 0x8000 ? int(unit) - 0x10000 : int(unit);
    if (value < 0) {
        *p++ = '-';
        value = -value;
    }
    char digits[6];
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count > 0)
        *p++ = digits[--count];
    *p++ = '\\';
    *p++ = '\'';
    *p++ = hexDigits[fallback >> 4];
    *p++ = hexDigits[fallback & 0xF];
    out.advance(p - start);
}

// Writes text with no paragraph ends in it. `escapeSemicolon` escapes ';' for table entries,
// where a bare one would end the entry.
void AppendText(Output &out, QStringView text, bool escapeSemicolon = false)
{
    const char16_t *units = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        // A whole stretch of ordinary ASCII is copied with one capacity check.
        out.ensure(size - i);
        qsizetype copied = 0;
        if (escapeSemicolon) {
            char *p = out.cursor();
            while (i + copied < size && IsOrdinaryAscii(units[i + copied]) && units[i + copied] != u';') {
                p[copied] = char(units[i + copied]);
                ++copied;
            }
        } else {
            copied = CopyOrdinaryAscii(units + i, size - i, out.cursor());
        }
        out.advance(copied);
        i += copied;
        if (i == size)
            break;

        const char16_t unit = units[i];
        switch (unit) {
        case u'\\':
            out.append("\\\\");
            break;
        case u'{':
            out.append("\\{");
            break;
        case u'}':
            out.append("\\}");
            break;
        case u';':
            out.append("\\'3b");
            break;
        case u'\t':
            out.append("\\tab ");
            break;
        case 0x2028:
            out.append("\\line ");
            break;
        default:
            if (unit < 0x80) {
                // Other control characters: escaped rather than dropped, so that a line
                // read from a file comes back as it was. Code page 1250 maps them to themselves.
                if (unit != 0) {
                    const char escape[] = { '\\', '\'', hexDigits[unit >> 4], hexDigits[unit & 0xF], '\0' };
                    out.append(escape);
                }
            } else if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1])) {
                AppendUnicodeUnit(out, unit, '?');
                AppendUnicodeUnit(out, units[i + 1], '?');
                ++i;
            } else if (QChar::isSurrogate(unit)) {
                // A lone surrogate is no character; write the replacement character so
                // that the file stays well-formed UTF-16 for every reader.
                AppendUnicodeUnit(out, 0xFFFD, '?');
            } else {
                AppendUnicodeUnit(out, unit, Fallbacks().byteFor16(unit));
            }
            break;
        }
        ++i;
    }
}

constexpr int largestParameter = 32767;

// For every format the control words that open its group, and the font and colour
// tables that those words index.
class FormatWords {
public:
    FormatWords(const RichDocument &document, const RtfWriterOptions &options)
        : options_(options)
    {
        fonts_.push_back(options.defaultFontFamily);
        openers_.resize(document.formats.size());
        std::vector<bool> seen(document.formats.size(), false);
        for (const FormatRun &run : document.runs) {
            if (run.format < 0 || std::size_t(run.format) >= document.formats.size() || seen[run.format])
                continue;
            seen[run.format] = true;
            openers_[run.format] = openerFor(document.formats[run.format]);
        }
    }

    // Empty when the format adds nothing to the document's defaults.
    const QByteArray &opener(int format) const
    {
        static const QByteArray none;
        if (format < 0 || std::size_t(format) >= openers_.size())
            return none;
        return openers_[format];
    }

    void appendFontTable(Output &out) const
    {
        out.append("{\\fonttbl");
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            out.append("{\\f");
            out.appendNumber(qint64(i));
            out.append("\\fnil\\fcharset238 ");
            AppendText(out, fonts_[i], true);
            out.append(";}");
        }
        out.append("}");
    }

    void appendColourTable(Output &out) const
    {
        if (colours_.empty())
            return;
        out.append("{\\colortbl;");
        for (const Rgb &colour : colours_) {
            out.append("\\red");
            out.appendNumber(colour.red);
            out.append("\\green");
            out.appendNumber(colour.green);
            out.append("\\blue");
            out.appendNumber(colour.blue);
            out.append(";");
        }
        out.append("}");
    }

private:
    int fontIndex(const QString &family)
    {
        // The default family is \f0, so naming it again adds nothing.
        if (family.isEmpty() || family == options_.defaultFontFamily)
            return 0;
        const auto [found, added] = fontNumbers_.try_emplace(family, int(fonts_.size()));
        if (added)
            fonts_.push_back(family);
        return found->second;
    }

    int colourIndex(const Rgb &colour)
    {
        // Index 0 of the colour table is "automatic", so real colours count from 1.
        const quint32 key = quint32(colour.red) << 16 | quint32(colour.green) << 8 | colour.blue;
        const auto [found, added] = colourNumbers_.try_emplace(key, int(colours_.size()) + 1);
        if (added)
            colours_.push_back(colour);
        return found->second;
    }

    QByteArray openerFor(const CharacterFormat &format)
    {
        QByteArray words;
        if (format.bold)
            words += "\\b";
        if (format.italic)
            words += "\\i";
        if (format.underline)
            words += "\\ul";
        if (format.strikeOut)
            words += "\\strike";
        if (const int font = fontIndex(format.fontFamily); font != 0)
            words += "\\f" + QByteArray::number(font);
        if (format.halfPoints > 0 && format.halfPoints != options_.defaultHalfPoints)
            words += "\\fs" + QByteArray::number(std::min(format.halfPoints, largestParameter));
        if (format.foreground)
            words += "\\cf" + QByteArray::number(colourIndex(*format.foreground));
        if (format.background) {
            const QByteArray index = QByteArray::number(colourIndex(*format.background));
            words += "\\highlight" + index;
        }
        if (words.isEmpty())
            return words;
        // The space ends the last control word and is not text.
        return '{' + words + ' ';
    }

    const RtfWriterOptions &options_;
    std::vector<QString> fonts_;
    std::vector<Rgb> colours_;
    // Documents can hold tens of thousands of fonts and colours: look them up by hash.
    std::unordered_map<QString, int> fontNumbers_;
    std::unordered_map<quint32, int> colourNumbers_;
    std::vector<QByteArray> openers_;
};

// Writes text that may hold paragraph ends; a formatted group is closed before each
// \par and reopened after it, so paragraph marks always carry the default format.
void AppendParagraphs(Output &out, QStringView text, const QByteArray &opener)
{
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf(u'\n');
        const QStringView piece = end < 0 ? text : text.first(end);
        if (!piece.isEmpty()) {
            if (!opener.isEmpty())
                out.append(opener);
            AppendText(out, piece);
            if (!opener.isEmpty())
                out.append("}");
        }
        if (end < 0)
            break;
        out.append("\\par\r\n");
        text = text.sliced(end + 1);
    }
}

}   // namespace

QByteArray WriteRtf(const RichDocument &document, const RtfWriterOptions &options)
{
    const FormatWords words(document, options);
    Output out(document.text.size() + document.text.size() / 8 + 512);

    out.append("{\\rtf1\\ansi\\ansicpg1250\\deff0");
    words.appendFontTable(out);
    words.appendColourTable(out);
    // Without a generator LibreOffice takes the file for Word's and widens runs of blanks.
    if (!options.generator.isEmpty()) {
        out.append("{\\*\\generator ");
        AppendText(out, options.generator, true);
        out.append(";}");
    }
    out.append("\\uc1\\pard\\plain\\f0\\fs");
    out.appendNumber(std::clamp(options.defaultHalfPoints, 1, largestParameter));
    out.append(" ");

    const QStringView text = document.text;
    qsizetype position = 0;
    for (const FormatRun &run : document.runs) {
        // Runs are meant to be sorted and disjoint; clip any that are not rather than
        // write text twice or out of bounds.
        const qsizetype start = std::clamp(run.start, position, text.size());
        const qsizetype end = std::clamp(run.start + std::max<qsizetype>(run.length, 0), start, text.size());
        if (start == end)
            continue;
        AppendParagraphs(out, text.sliced(position, start - position), {});
        AppendParagraphs(out, text.sliced(start, end - start), words.opener(run.format));
        position = end;
    }
    AppendParagraphs(out, text.sliced(position), {});
    // A last paragraph without its '\n' is still a paragraph; do not lose it.
    if (!text.isEmpty() && !text.endsWith(u'\n'))
        out.append("\\par\r\n");

    out.append("}\r\n");
    return out.take();
}

}   // namespace codec
