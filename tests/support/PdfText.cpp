#include "support/PdfText.h"

#include "support/TestFiles.h"

#include <QHash>
#include <QMap>
#include <QRegularExpression>

#include <cmath>

namespace support {

namespace {

using Objects = QMap<int, QByteArray>;

Objects ReadObjects(const QByteArray &pdf)
{
    // From each object's end on, so that a stream's bytes are never taken for the start
    // of another object.
    static const QRegularExpression start(QStringLiteral("(\\d+) \\d+ obj\\b"));
    const QString text = QString::fromLatin1(pdf);
    Objects objects;
    for (qsizetype from = 0;;) {
        const QRegularExpressionMatch found = start.match(text, from);
        const qsizetype end = found.hasMatch() ? pdf.indexOf("endobj", found.capturedEnd()) : -1;
        if (end < 0)
            return objects;
        objects.insert(found.captured(1).toInt(), pdf.mid(found.capturedEnd(), end - found.capturedEnd()));
        from = end;
    }
}

QByteArray Stream(const QByteArray &object)
{
    qsizetype begin = object.indexOf("stream");
    const qsizetype end = object.lastIndexOf("endstream");
    if (begin < 0 || end < begin)
        return {};
    begin += 6;
    begin += object.mid(begin, 2) == "\r\n" ? 2 : object.mid(begin, 1) == "\n" ? 1 : 0;
    const QByteArray data = object.mid(begin, end - begin);
    if (!object.left(begin).contains("/FlateDecode"))
        return data;
    // qUncompress wants a size first; it grows past one that is too small.
    return qUncompress(QByteArray(4, '\0') + data);
}

int Reference(const QByteArray &object, const char *key)
{
    const QRegularExpression reference(QLatin1String(key) + QStringLiteral("\\s+(\\d+)\\s+\\d+\\s+R"));
    const QRegularExpressionMatch found = reference.match(QString::fromLatin1(object));
    return found.hasMatch() ? found.captured(1).toInt() : -1;
}

QString Utf16(const QByteArray &hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(quint8(bytes[i]) << 8 | quint8(bytes[i + 1]))));
    return text;
}

// The ToUnicode map: "<first> <last> <unicode>" gives consecutive characters to a
// range of codes, "<first> <last> [<unicode> ...]" one to each.
QHash<uint, QString> CharacterMap(const QByteArray &cmap)
{
    static const QRegularExpression range(
        QStringLiteral("<(\\w+)>\\s*<(\\w+)>\\s*(?:<(\\w*)>|\\[([^\\]]*)\\])"));
    static const QRegularExpression item(QStringLiteral("<(\\w*)>"));
    QHash<uint, QString> characters;
    for (qsizetype from = cmap.indexOf("beginbfrange"); from >= 0;
         from = cmap.indexOf("beginbfrange", from)) {
        const qsizetype to = cmap.indexOf("endbfrange", from);
        const QString section = QString::fromLatin1(cmap.mid(from, to - from));
        for (auto ranges = range.globalMatch(section); ranges.hasNext();) {
            const QRegularExpressionMatch found = ranges.next();
            const uint first = found.captured(1).toUInt(nullptr, 16);
            const uint last = found.captured(2).toUInt(nullptr, 16);
            if (found.hasCaptured(4)) {
                uint code = first;
                for (auto items = item.globalMatch(found.captured(4)); items.hasNext() && code <= last;)
                    characters.insert(code++, Utf16(items.next().captured(1).toLatin1()));
                continue;
            }
            const QString character = Utf16(found.captured(3).toLatin1());
            for (uint code = first; code <= last && !character.isEmpty(); ++code) {
                QString next = character;
                next.back() = QChar(char16_t(next.back().unicode() + (code - first)));
                characters.insert(code, next);
            }
        }
        from = to;
    }
    return characters;
}

// Qt writes each glyph as "dx dy Td <glyph> Tj" after a "BT ... Tm" that puts the
// position at the item's origin: the sum of the moves is the glyph's baseline. Its map
// names a glyph by the lowest character drawn with it, the blank's by the tab.
void ReadPage(const QByteArray &content, const Objects &objects, QStringList &lines)
{
    static const QRegularExpression token(QStringLiteral("<[0-9A-Fa-f]*>|[^\\s<>\\[\\]()]+"));
    QHash<int, QHash<uint, QString>> maps;
    std::optional<QHash<uint, QString>> characters;
    QStringList operands;
    double y = 0;
    std::optional<double> lineY;
    for (auto tokens = token.globalMatch(QString::fromLatin1(content)); tokens.hasNext();) {
        const QString word = tokens.next().captured();
        const auto operand = [&operands](qsizetype back) {
            return operands.size() >= back ? operands[operands.size() - back] : QString();
        };
        if (word == u"BT" || word == u"Tm") {
            y = word == u"Tm" ? operand(1).toDouble() : 0;
        } else if (word == u"Td") {
            y += operand(1).toDouble();
        } else if (word == u"Tf") {
            const int font = operand(2).mid(2).toInt();   // "/F<object>"
            if (!maps.contains(font))
                maps.insert(
                    font, CharacterMap(Stream(objects.value(Reference(objects.value(font), "/ToUnicode")))));
            characters = maps.value(font);
        } else if (word == u"Tj" && characters) {
            if (!lineY || std::abs(*lineY - y) > 0.01)
                lines.append(QString());
            lineY = y;
            QString &line = lines.last();
            const QByteArray glyphs = operand(1).mid(1).chopped(1).toLatin1();
            for (qsizetype i = 0; i + 4 <= glyphs.size(); i += 4)
                line += characters->value(glyphs.mid(i, 4).toUInt(nullptr, 16), QStringLiteral("\uFFFD"));
            line.replace(QLatin1Char('\t'), QLatin1Char(' '));
        }
        operands.append(word);
    }
}

// A literal string's bytes, escapes resolved; line ends are kept as they stand, as
// poppler keeps them.
QByteArray LiteralString(const QByteArray &text, qsizetype from)
{
    QByteArray bytes;
    for (int depth = 0; from < text.size(); ++from) {
        char c = text[from];
        if (c == '\\' && from + 1 < text.size()) {
            c = text[++from];
            const int octal = QByteArrayView("01234567").indexOf(c);
            if (octal >= 0) {
                int value = octal;
                for (int digits = 1;
                     digits < 3 && from + 1 < text.size() && text[from + 1] >= '0' && text[from + 1] <= '7';
                     ++digits)
                    value = value * 8 + (text[++from] - '0');
                c = char(value);
            } else {
                const int escape = QByteArrayView("nrtbf").indexOf(c);
                c = escape >= 0 ? "\n\r\t\b\f"[escape] : c;
            }
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && depth-- == 0) {
            break;
        }
        bytes += c;
    }
    return bytes;
}

QString Title(const Objects &objects)
{
    static const QRegularExpression key(QStringLiteral("/Title\\s*\\("));
    for (const QByteArray &object : objects) {
        const QRegularExpressionMatch found = key.match(QString::fromLatin1(object));
        if (!found.hasMatch())
            continue;
        const QByteArray bytes = LiteralString(object, found.capturedEnd());
        return bytes.startsWith("\xFE\xFF") ? Utf16(bytes.mid(2).toHex()) : QString::fromLatin1(bytes);
    }
    return {};
}

}   // namespace

std::optional<PdfContent> ReadPdf(const QString &fileName)
{
    const QByteArray pdf = ReadFile(fileName);
    if (!pdf.startsWith("%PDF-"))
        return std::nullopt;
    const Objects objects = ReadObjects(pdf);
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page\\b"));
    PdfContent content;
    // Qt numbers its pages' objects in page order.
    for (const QByteArray &object : objects) {
        if (!page.match(QString::fromLatin1(object)).hasMatch())
            continue;
        ++content.pages;
        ReadPage(Stream(objects.value(Reference(object, "/Contents"))), objects, content.lines);
    }
    if (content.pages == 0)
        return std::nullopt;
    content.title = Title(objects);
    return content;
}

}   // namespace support
