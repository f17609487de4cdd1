#include "codec/PlainText.h"

#include "codec/CodePages.h"

#include <QStringDecoder>
#include <QSysInfo>
#include <QtAlgorithms>

#include <atomic>
#include <cstring>
#include <thread>

namespace codec {

namespace {

// Makes every line end the model's '\n' and drops NULs, writing from `out`, which is at
// or before `p`; returns the new end. With `evidence`, hands it every run of characters
// beyond ASCII with the characters beside it (none before `textBegin`), and every NUL.
QChar *MendLines(
    QChar *out, const QChar *p, const QChar *end, const QChar *textBegin, ReadingEvidence *evidence)
{
    while (p != end) {
        // Four characters at a time while they are ASCII beyond the controls, as most of
        // any text is: a unit is other where it has a bit above 0x7F or gains none at + 0x72.
        // A carry out of a unit that is other reaches only the units after it.
        while (end - p >= 4) {
            quint64 word;
            std::memcpy(&word, static_cast<const void *>(p), sizeof word);
            const quint64 other
                = (word & 0xFF80FF80FF80FF80ull) | (~(word + 0x0072007200720072ull) & 0x0080008000800080ull);
            if (other == 0) {
                std::memcpy(static_cast<void *>(out), &word, sizeof word);
                out += 4;
                p += 4;
                continue;
            }
            // The first unit is the lowest where words are read little-endian.
            if (QSysInfo::ByteOrder == QSysInfo::LittleEndian) {
                for (int plain = qCountTrailingZeroBits(other) / 16; plain > 0; --plain)
                    *out++ = *p++;
            }
            break;
        }
        if (p == end)
            break;
        const char16_t c = p->unicode();
        if (char16_t(c - 0x0E) < 0x80 - 0x0E) {
            *out++ = QChar(c);
            ++p;
        } else if (c < 0x80) {
            ++p;
            if (c == u'\r') {
                if (p != end && *p == u'\n')
                    ++p;
                *out++ = QChar(u'\n');
            } else if (c == u'\n') {
                *out++ = QChar(u'\n');
            } else if (c != 0) {
                *out++ = QChar(c);
            } else if (evidence) {
                evidence->addNul();
            }
        } else if (c == 0x2029) {
            ++p;
            *out++ = QChar(u'\n');
        } else {
            const QChar *runEnd = p + 1;
            while (runEnd != end && runEnd->unicode() >= 0x80 && runEnd->unicode() != 0x2029)
                ++runEnd;
            if (evidence) {
                const char16_t before = out == textBegin ? 0 : out[-1].unicode();
                const char16_t after = runEnd == end ? 0 : runEnd->unicode();
                evidence->addRun(p, runEnd - p, before < 0x80 ? before : 0, after < 0x80 ? after : 0);
            }
            while (p != runEnd)
                *out++ = *p++;
        }
    }
    return out;
}

// A byte order mark past the one already taken off is text.
constexpr auto decoderFlags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

// Decodes as `encoding` with its line ends mended; a broken sequence gives U+FFFD.
void DecodeLines(QByteArrayView bytes, QStringConverter::Encoding encoding, QString &text)
{
    QStringDecoder decoder(encoding, decoderFlags);
    text = decoder(bytes);
    QChar *const begin = text.data();
    text.truncate(MendLines(begin, begin, begin + text.size(), begin, nullptr) - begin);
}

// Where a chunk that starts at `from` ends: some 64 KB on, after an ASCII byte other
// than CR, so that no chunk ends inside a character or a CR LF.
qsizetype ChunkEnd(QByteArrayView bytes, qsizetype from)
{
    constexpr qsizetype chunk = 64 << 10;
    qsizetype to = from + chunk;
    if (to >= bytes.size())
        return bytes.size();
    while (to < bytes.size() && (static_cast<unsigned char>(bytes[to - 1]) >= 0x80 || bytes[to - 1] == '\r'))
        ++to;
    return to;
}

// Decodes UTF-8 to `out` a chunk at a time, mending each chunk's line ends and weighing
// its characters while they are in the cache. Returns the end of the text, or nullptr
// at the first chunk that is not UTF-8, or once `stop` is set.
QChar *DecodeUtf8Part(QByteArrayView bytes, QChar *out, ReadingEvidence &evidence, std::atomic_bool &stop)
{
    QChar *const begin = out;
    QStringDecoder decoder(QStringConverter::Utf8, decoderFlags);
    for (qsizetype from = 0; from < bytes.size();) {
        const qsizetype to = ChunkEnd(bytes, from);
        QChar *const decoded = decoder.appendToBuffer(out, bytes.sliced(from, to - from));
        if (decoder.hasError() || stop.load(std::memory_order_relaxed)) {
            stop.store(true, std::memory_order_relaxed);
            return nullptr;
        }
        out = MendLines(out, out, decoded, begin, &evidence);
        from = to;
    }
    return out;
}

// Decodes UTF-8 into `text` with its line ends mended, weighing its characters; false
// when the bytes are not UTF-8. The second half of a large file is decoded on a thread
// of its own, so that the window of a long list appears that much sooner; the cut
// comes after a line end, so between characters and never inside a CR LF.
bool DecodeUtf8Lines(QByteArrayView bytes, QString &text, ReadingEvidence &evidence)
{
    constexpr qsizetype worthTwoThreads = 4 << 20;
    const qsizetype cut = bytes.size() < worthTwoThreads ? 0 : bytes.indexOf('\n', bytes.size() / 2) + 1;
    // No byte gives more than one UTF-16 unit: each half has room from its own offset.
    text = QString(bytes.size(), Qt::Uninitialized);
    QChar *const begin = text.data();
    std::atomic_bool stop = false;
    if (cut == 0 || cut == bytes.size()) {
        QChar *const end = DecodeUtf8Part(bytes, begin, evidence, stop);
        text.truncate(end ? end - begin : 0);
        return end != nullptr;
    }
    ReadingEvidence secondEvidence(ReadingEvidence::Source::Utf8Text);
    QChar *secondEnd = nullptr;
    std::thread second(
        [&] { secondEnd = DecodeUtf8Part(bytes.sliced(cut), begin + cut, secondEvidence, stop); });
    QChar *const firstEnd = DecodeUtf8Part(bytes.first(cut), begin, evidence, stop);
    second.join();
    if (!firstEnd || !secondEnd) {
        text.truncate(0);
        return false;
    }
    const qsizetype secondLength = secondEnd - (begin + cut);
    std::memmove(firstEnd, begin + cut, secondLength * sizeof(QChar));
    text.truncate(firstEnd - begin + secondLength);
    evidence.add(secondEvidence);
    return true;
}

// Decodes a single-byte page, which decodes every byte, so nothing is lost.
void DecodePage(QByteArrayView bytes, TextEncoding encoding, QString &text)
{
    text.resize(bytes.size());
    QChar *const begin = text.data();
    const qsizetype decoded = CodePage::forNumber(CodePageNumber(encoding)).decode(bytes, begin);
    text.truncate(MendLines(begin, begin, begin + decoded, begin, nullptr) - begin);
}

}   // namespace

RichDocument ReadPlainText(QByteArrayView bytes, TextEncoding *encoding)
{
    RichDocument document;
    QString &text = document.text;
    TextEncoding found = TextEncoding::Utf8;
    const ByteOrderMark mark = FindByteOrderMark(bytes);
    if (mark.length != 0) {
        found = mark.encoding;
        const QStringConverter::Encoding converter = found == TextEncoding::Utf8 ? QStringConverter::Utf8
            : found == TextEncoding::Utf16LE                                     ? QStringConverter::Utf16LE
                                                                                 : QStringConverter::Utf16BE;
        DecodeLines(bytes.sliced(mark.length), converter, text);
    } else {
        // The UTF-8 reading is tried first as it is by far the most common and the one
        // to keep fast; UTF-16, which comes before it in the order, has zero bytes, which
        // that reading counts, or is not UTF-8.
        ReadingEvidence evidence(ReadingEvidence::Source::Utf8Text);
        const bool utf8 = DecodeUtf8Lines(bytes, text, evidence);
        const std::optional<TextEncoding> utf16
            = !utf8 || evidence.sawNul() ? Utf16ByZeroBytes(bytes) : std::optional<TextEncoding>();
        if (utf16) {
            found = *utf16;
            DecodeLines(bytes,
                found == TextEncoding::Utf16LE ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, text);
        } else {
            found = utf8 ? evidence.mostLikely() : WeighBytes(bytes).mostLikely();
            if (found != TextEncoding::Utf8)
                DecodePage(bytes, found, text);
        }
    }
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text.append(QLatin1Char('\n'));
    if (encoding)
        *encoding = found;
    return document;
}

}   // namespace codec
