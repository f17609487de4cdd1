#include "codec/TextEncoding.h"

#include "codec/LanguageWeighing.h"

#include <QtEndian>

#include <cstring>

namespace codec {

namespace {

constexpr int contextCount = ReadingEvidence::contextCount;
constexpr int shortRunBits = 10;
constexpr int shortRunPlaces = 1 << shortRunBits;
constexpr int shortRunLimit = shortRunPlaces * 3 / 4;
constexpr int longestShortRun = 4;
// The ASCII character each kind of context weighs as.
constexpr char16_t contextCharacter[contextCount] = { 0, u'b', u'a', u'B', u'A' };

constexpr std::array<unsigned char, 128> Contexts()
{
    std::array<unsigned char, 128> contexts {};
    for (char16_t c = 0; c < 128; ++c) {
        const bool lower = c >= u'a' && c <= u'z';
        const bool upper = c >= u'A' && c <= u'Z';
        const char16_t folded = lower ? char16_t(c - u'a' + u'A') : c;
        const bool vowel
            = folded == u'A' || folded == u'E' || folded == u'I' || folded == u'O' || folded == u'U';
        contexts[c] = lower ? (vowel ? 2 : 1) : upper ? (vowel ? 4 : 3) : 0;
    }
    return contexts;
}

constexpr qsizetype singleSlots(ReadingEvidence::Source source)
{
    return (source == ReadingEvidence::Source::Utf8Text ? ReadingEvidence::singleCharacters - 0x80 : 0x80)
        * contextCount * contextCount;
}

}   // namespace

const char *EncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Windows1250:
        return "Windows-1250";
    case TextEncoding::Iso8859_2:
        return "ISO-8859-2";
    case TextEncoding::Iso8859_16:
        return "ISO-8859-16";
    case TextEncoding::Dos852:
        return "DOS 852";
    case TextEncoding::Utf16LE:
        return "UTF-16LE";
    case TextEncoding::Utf16BE:
        return "UTF-16BE";
    }
    return "";
}

int CodePageNumber(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1250:
        return 1250;
    case TextEncoding::Iso8859_2:
        return 28592;
    case TextEncoding::Iso8859_16:
        return 28606;
    case TextEncoding::Dos852:
        return 852;
    case TextEncoding::Utf8:
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE:
        break;
    }
    return 0;
}

ByteOrderMark FindByteOrderMark(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return { TextEncoding::Utf8, 3 };
    if (bytes.startsWith("\xFF\xFE"))
        return { TextEncoding::Utf16LE, 2 };
    if (bytes.startsWith("\xFE\xFF"))
        return { TextEncoding::Utf16BE, 2 };
    return {};
}

namespace {

// How many bytes of a word are 0x80, the others being 0: the bytes summed by a multiply.
int CountMarks(quint64 marks) { return int(((marks >> 7) * 0x0101010101010101ull) >> 56); }

}   // namespace

std::optional<TextEncoding> Utf16ByZeroBytes(QByteArrayView bytes)
{
    const qsizetype units = bytes.size() / 2;
    if (units == 0)
        return std::nullopt;
    // Eight bytes at a time: a byte of `zero` is 0x80 where the byte was 0.
    constexpr quint64 low7 = 0x7F7F7F7F7F7F7F7Full;
    const auto zeroBytes = [](quint64 word) { return ~(((word & low7) + low7) | word | low7); };
    constexpr quint64 evenBytes = 0x0080008000800080ull;   // offsets 0, 2, 4 and 6
    constexpr quint64 oddBytes = evenBytes << 8;
    qsizetype zeros[2] = {};
    qsizetype lineEnds[2] = {};
    const char *p = bytes.data();
    qsizetype i = 0;
    for (; i + 8 <= bytes.size(); i += 8, p += 8) {
        const quint64 word = qFromLittleEndian<quint64>(p);
        const quint64 zero = zeroBytes(word);
        const quint64 lineEnd
            = zeroBytes(word ^ 0x0A0A0A0A0A0A0A0Aull) | zeroBytes(word ^ 0x0D0D0D0D0D0D0D0Dull);
        zeros[0] += CountMarks(zero & evenBytes);
        zeros[1] += CountMarks(zero & oddBytes);
        lineEnds[0] += CountMarks(lineEnd & evenBytes);
        lineEnds[1] += CountMarks(lineEnd & oddBytes);
    }
    for (; i < bytes.size(); ++i, ++p) {
        zeros[i & 1] += *p == 0;
        lineEnds[i & 1] += *p == '\n' || *p == '\r';
    }
    for (const int high : { 1, 0 }) {
        const int low = 1 - high;
        if (zeros[high] * 2 >= units && zeros[low] * 8 <= zeros[high] && lineEnds[high] == 0)
            return high == 1 ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
    }
    return std::nullopt;
}

ReadingEvidence::ReadingEvidence(Source source)
    : source_(source)
    , singles_(std::size_t(singleSlots(source)))
    , shortRuns_(shortRunPlaces)
{
}

const std::array<unsigned char, 128> ReadingEvidence::contextOf = Contexts();

namespace {

int ContextOf(char16_t c) { return c < 128 ? ReadingEvidence::contextOf[c] : 0; }

}   // namespace

bool ReadingEvidence::countShortRun(const char16_t *units, int length, int before, int after, quint32 count)
{
    quint64 packed = 0;
    for (int i = 0; i < length; ++i)
        packed |= quint64(units[i]) << (16 * i);
    const auto kind = quint16(length | before << 3 | after << 6);
    std::size_t place = std::size_t((packed ^ kind) * 0x9E3779B97F4A7C15ull >> (64 - shortRunBits));
    for (;; place = (place + 1) & (shortRunPlaces - 1)) {
        ShortRun &run = shortRuns_[place];
        if (run.kind == kind && run.units == packed) {
            run.count += count;
            return true;
        }
        if (run.kind == 0) {
            if (shortRunCount_ == shortRunLimit)
                return false;
            ++shortRunCount_;
            run = { packed, kind, count };
            return true;
        }
    }
}

void ReadingEvidence::weighRun(const char16_t *units, qsizetype length, char16_t before, char16_t after,
    std::array<qint64, readingCount> &weights, qint64 times) const
{
    std::array<qint64, readingCount> once {};
    if (source_ == Source::Utf8Text) {
        WeighUtf8Run(reinterpret_cast<const QChar *>(units), length, before, after, once.data());
    } else {
        unsigned char bytes[longestShortRun];
        for (qsizetype i = 0; i < length; ++i)
            bytes[i] = static_cast<unsigned char>(units[i]);
        WeighByteRun(bytes, length, before, after, once.data());
    }
    for (int r = 0; r < readingCount; ++r)
        weights[r] += times * once[r];
}

void ReadingEvidence::addLongRun(const QChar *run, qsizetype length, char16_t before, char16_t after)
{
    const auto *units = reinterpret_cast<const char16_t *>(run);
    if (length > longestShortRun
        || !countShortRun(units, int(length), ContextOf(before), ContextOf(after), 1))
        WeighUtf8Run(run, length, before, after, weights_.data());
}

void ReadingEvidence::addRun(const unsigned char *run, qsizetype length, char16_t before, char16_t after)
{
    if (length == 1) {
        ++singles_[slot(*run, before, after)];
        return;
    }
    char16_t units[longestShortRun];
    for (qsizetype i = 0; i < length && i < longestShortRun; ++i)
        units[i] = *(run + i);
    if (length > longestShortRun
        || !countShortRun(units, int(length), ContextOf(before), ContextOf(after), 1))
        WeighByteRun(run, length, before, after, weights_.data());
}

namespace {

// The units of a counted short run.
int Unpack(quint64 packed, quint16 kind, char16_t *units)
{
    const int length = kind & 7;
    for (int i = 0; i < length; ++i)
        units[i] = char16_t(packed >> (16 * i));
    return length;
}

}   // namespace

void ReadingEvidence::add(const ReadingEvidence &other)
{
    Q_ASSERT(source_ == other.source_);
    for (std::size_t i = 0; i < singles_.size(); ++i)
        singles_[i] += other.singles_[i];
    for (int r = 0; r < readingCount; ++r)
        weights_[r] += other.weights_[r];
    for (const ShortRun &run : other.shortRuns_) {
        if (run.kind == 0)
            continue;
        char16_t units[longestShortRun];
        const int length = Unpack(run.units, run.kind, units);
        const int before = run.kind >> 3 & 7;
        const int after = run.kind >> 6 & 7;
        if (!countShortRun(units, length, before, after, run.count))
            weighRun(units, length, contextCharacter[before], contextCharacter[after], weights_, run.count);
    }
    nuls_ += other.nuls_;
}

std::array<qint64, ReadingEvidence::readingCount> ReadingEvidence::weights() const
{
    std::array<qint64, readingCount> total = weights_;
    for (std::size_t i = 0; i < singles_.size(); ++i) {
        if (singles_[i] == 0)
            continue;
        const auto c = char16_t(0x80 + i / (contextCount * contextCount));
        weighRun(&c, 1, contextCharacter[i / contextCount % contextCount], contextCharacter[i % contextCount],
            total, singles_[i]);
    }
    for (const ShortRun &run : shortRuns_) {
        if (run.kind == 0)
            continue;
        char16_t units[longestShortRun];
        const int length = Unpack(run.units, run.kind, units);
        weighRun(units, length, contextCharacter[run.kind >> 3 & 7], contextCharacter[run.kind >> 6 & 7],
            total, run.count);
    }
    return total;
}

TextEncoding ReadingEvidence::mostLikely() const
{
    const std::array<qint64, readingCount> total = weights();
    int best = source_ == Source::Utf8Text ? 0 : 1;
    for (int r = best + 1; r < readingCount; ++r) {
        if (total[r] > total[best])
            best = r;
    }
    return best == 0 ? TextEncoding::Utf8 : pageReadings[best - 1];
}

ReadingEvidence WeighBytes(QByteArrayView bytes)
{
    ReadingEvidence evidence(ReadingEvidence::Source::Bytes);
    const auto *const begin = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = begin + bytes.size();
    const auto *p = begin;
    while (p != end) {
        // Eight ASCII bytes at a time: most of a phone book is ASCII.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull)
                break;
            p += 8;
        }
        while (p != end && *p < 0x80)
            ++p;
        if (p == end)
            break;
        const auto *runEnd = p + 1;
        while (runEnd != end && *runEnd >= 0x80)
            ++runEnd;
        evidence.addRun(p, runEnd - p, p == begin ? 0 : p[-1], runEnd == end ? 0 : *runEnd);
        p = runEnd;
    }
    return evidence;
}

}   // namespace codec
