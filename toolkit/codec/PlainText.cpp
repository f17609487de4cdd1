#include "codec/PlainText.h"

#include "codec/CodePages.h"

#include <QStringDecoder>

#include <cstring>

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

QString Decode(QByteArrayView bytes)
{
    const auto flags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder decoder(QStringConverter::Utf8, flags);
        return decoder(bytes.sliced(3));
    }
    if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder decoder(QStringConverter::Utf16LE, flags);
        return decoder(bytes.sliced(2));
    }
    if (bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16BE, flags);
        return decoder(bytes.sliced(2));
    }
    QStringDecoder decoder(QStringConverter::Utf8, flags);
    QString text = decoder(bytes);
    if (!decoder.hasError() && Utf8LooksLikeText(bytes))
        return text;
    // Not UTF-8, or only by accident: the files this program has always written are
    // Windows-1250, and that page decodes every byte, so nothing is lost.
    text.clear();
    CodePage::forNumber(1250).decode(bytes, text);
    return text;
}

}   // namespace

RichDocument ReadPlainText(QByteArrayView bytes)
{
    RichDocument document;
    QString &text = document.text;
    text = Decode(bytes);
    if (text.isEmpty())
        return document;

    // One pass in place, the decoded text being ours alone: every line end becomes the
    // model's '\n' and what the model cannot hold goes, so the text only shrinks.
    QChar *const begin = text.data();
    QChar *out = begin;
    const QChar *p = begin;
    const QChar *const end = p + text.size();
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
    text.truncate(out - begin);
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        text.append(QLatin1Char('\n'));
    return document;
}

}   // namespace codec
