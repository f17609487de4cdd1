#include "codec/PlainText.h"

#include "codec/CodePages.h"

#include <QStringDecoder>

#include <cstring>
#include <thread>

namespace codec {

namespace {

// For b in 0x80..0xBF: the pair C2 b (U+0080..U+00BF, signs and controls in UTF-8) is
// 'Â' and a letter in Windows-1250, a letter that the UTF-8 reading does not give.
struct Cp1250LetterPairs {
    bool afterC2[0x40] = {};

    Cp1250LetterPairs()
    {
        const CodePage cp1250 = CodePage::forNumber(1250);
        for (int b = 0x80; b < 0xC0; ++b) {
            const char byte = char(b);
            QChar letter;
            cp1250.decode(QByteArrayView(&byte, 1), &letter);
            afterC2[b - 0x80] = letter.isLetter() && letter.unicode() != b;
        }
    }
};

// Whether valid UTF-8 reads as text. Only letter pairs of Windows-1250 ("CÂŞTIG")
// make valid UTF-8 by accident, and only as C2 80..C2 BF; one other multi-byte
// character (a letter beyond U+00BF, or a sign such as '°') settles it for UTF-8.
bool Utf8LooksLikeText(QByteArrayView bytes)
{
    static const Cp1250LetterPairs pairs;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *const end = p + bytes.size();
    bool letterPairs = false;
    while (p != end) {
        // Eight ASCII bytes at a time: most of a file is ASCII.
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
        // The text is valid UTF-8, so a lead byte has its continuation bytes.
        if (*p != 0xC2 || !pairs.afterC2[p[1] - 0x80])
            return true;
        letterPairs = true;
        p += 2;
    }
    // Pure ASCII reads the same either way; keep the decoded text.
    return !letterPairs;
}

// Makes every line end the model's '\n' and drops NULs, in place; returns the new end.
QChar *MendLines(QChar *begin, const QChar *end)
{
    QChar *out = begin;
    const QChar *p = begin;
    while (p != end) {
        const char16_t c = p->unicode();
        ++p;
        if (c > u'\r' && c != 0x2029) {
            *out++ = QChar(c);
        } else if (c == u'\r') {
            if (p != end && *p == u'\n')
                ++p;
            *out++ = QChar(u'\n');
        } else if (c == u'\n' || c == 0x2029) {
            *out++ = QChar(u'\n');
        } else if (c != 0) {
            *out++ = QChar(c);
        }
    }
    return out;
}

// A byte order mark past the one already taken off is text.
constexpr auto decoderFlags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

// Decodes as `encoding` with its line ends mended; false when the bytes do not decode.
bool DecodeLines(QByteArrayView bytes, QStringConverter::Encoding encoding, QString &text)
{
    QStringDecoder decoder(encoding, decoderFlags);
    text = decoder(bytes);
    QChar *const begin = text.data();
    text.truncate(MendLines(begin, begin + text.size()) - begin);
    return !decoder.hasError();
}

// As DecodeLines for UTF-8, the second half of a large file on a thread of its own: the
// window of a long list appears that much sooner. The cut comes after a line end, so
// between characters and never inside a CR LF.
bool DecodeUtf8Lines(QByteArrayView bytes, QString &text)
{
    constexpr qsizetype worthTwoThreads = 4 << 20;
    const qsizetype cut = bytes.size() < worthTwoThreads ? 0 : bytes.indexOf('\n', bytes.size() / 2) + 1;
    if (cut == 0 || cut == bytes.size())
        return DecodeLines(bytes, QStringConverter::Utf8, text);
    // No byte gives more than one UTF-16 unit: each half has room from its own offset.
    text = QString(bytes.size(), Qt::Uninitialized);
    QChar *const begin = text.data();
    const auto decodeHalf = [](QByteArrayView half, QChar *at, QChar *&end) {
        QStringDecoder decoder(QStringConverter::Utf8, decoderFlags);
        end = MendLines(at, decoder.appendToBuffer(at, half));
        return !decoder.hasError();
    };
    QChar *secondEnd = nullptr;
    bool secondValid = false;
    std::thread second([&] { secondValid = decodeHalf(bytes.sliced(cut), begin + cut, secondEnd); });
    QChar *firstEnd = nullptr;
    const bool firstValid = decodeHalf(bytes.first(cut), begin, firstEnd);
    second.join();
    const qsizetype secondLength = secondEnd - (begin + cut);
    std::memmove(firstEnd, begin + cut, secondLength * sizeof(QChar));
    text.truncate(firstEnd - begin + secondLength);
    return firstValid && secondValid;
}

}   // namespace

RichDocument ReadPlainText(QByteArrayView bytes)
{
    RichDocument document;
    QString &text = document.text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        DecodeLines(bytes.sliced(3), QStringConverter::Utf8, text);
    } else if (bytes.startsWith("\xFF\xFE")) {
        DecodeLines(bytes.sliced(2), QStringConverter::Utf16LE, text);
    } else if (bytes.startsWith("\xFE\xFF")) {
        DecodeLines(bytes.sliced(2), QStringConverter::Utf16BE, text);
    } else if (!DecodeUtf8Lines(bytes, text) || !Utf8LooksLikeText(bytes)) {
        // Not UTF-8, or only by accident: the files this program has always written are
        // Windows-1250, and that page decodes every byte, so nothing is lost.
        text = QString(bytes.size(), Qt::Uninitialized);
        QChar *const begin = text.data();
        const qsizetype decoded = CodePage::forNumber(1250).decode(bytes, begin);
        text.truncate(MendLines(begin, begin + decoded) - begin);
    }
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text.append(QLatin1Char('\n'));
    return document;
}

}   // namespace codec
