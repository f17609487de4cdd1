#include "PlainText.h"

#include "CodePages.h"

#include <QStringDecoder>

namespace codec {

namespace {

QString decode(QByteArrayView bytes)
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
    if (!decoder.hasError())
        return text;
    // Not UTF-8: the files this program has always written are Windows-1250, and
    // that page decodes every byte, so nothing is lost.
    text.clear();
    CodePage::forNumber(1250).decode(bytes, text);
    return text;
}

}   // namespace

RichDocument readPlainText(QByteArrayView bytes)
{
    const QString decoded = decode(bytes);
    RichDocument document;
    if (decoded.isEmpty())
        return document;

    // One pass that turns every line end into the model's '\n' and drops what the
    // model cannot hold; the result is never longer than the input plus one.
    QString &text = document.text;
    text.resize(decoded.size() + 1);
    QChar *out = text.data();
    const QChar *p = decoded.constData();
    const QChar *const end = p + decoded.size();
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
    qsizetype length = out - text.constData();
    if (length > 0 && text.at(length - 1) != u'\n') {
        *out = QChar(u'\n');
        ++length;
    }
    text.truncate(length);
    return document;
}

}   // namespace codec
