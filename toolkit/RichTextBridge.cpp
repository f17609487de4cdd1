#include "RichTextBridge.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace bridge {

namespace {

codec::Rgb toRgb(const QColor &color)
{
    return {std::uint8_t(color.red()), std::uint8_t(color.green()), std::uint8_t(color.blue())};
}

QColor toColor(const codec::Rgb &rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// Characters that a Qt document may hold but a line of the list may not.
bool isForeignCharacter(QChar c)
{
    return c == QChar::ObjectReplacementCharacter || c == QChar::Null
        || c == QChar(0xFDD0) || c == QChar(0xFDD1)   // frame start and end
        || c == QLatin1Char('\r');
}

void appendFragmentText(codec::RichDocument &model, const QString &text,
                        const codec::CharacterFormat &format)
{
    if (std::none_of(text.cbegin(), text.cend(), isForeignCharacter)) {
        model.append(text, format);
        return;
    }
    QString cleaned = text;
    cleaned.removeIf(isForeignCharacter);
    model.append(cleaned, format);
}

}   // namespace

QTextCharFormat toQt(const codec::CharacterFormat &format)
{
    QTextCharFormat result;
    if (format.bold)
        result.setFontWeight(QFont::Bold);
    if (format.italic)
        result.setFontItalic(true);
    if (format.underline)
        result.setFontUnderline(true);
    if (format.strikeOut)
        result.setFontStrikeOut(true);
    if (!format.fontFamily.isEmpty())
        result.setFontFamilies({format.fontFamily});
    if (format.halfPoints > 0)
        result.setFontPointSize(format.halfPoints / 2.0);
    if (format.foreground)
        result.setForeground(toColor(*format.foreground));
    if (format.background)
        result.setBackground(toColor(*format.background));
    return result;
}

codec::CharacterFormat fromQt(const QTextCharFormat &format)
{
    codec::CharacterFormat result;
    result.bold = format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() >= QFont::DemiBold;
    result.italic = format.fontItalic();
    result.underline = format.fontUnderline();
    result.strikeOut = format.fontStrikeOut();
    if (format.hasProperty(QTextFormat::FontFamilies)) {
        const QStringList families = format.fontFamilies().toStringList();
        if (!families.isEmpty())
            result.fontFamily = families.first();
    }
    if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0)
        result.halfPoints = int(std::lround(format.fontPointSize() * 2));
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        result.foreground = toRgb(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        result.background = toRgb(format.background().color());
    return result;
}

codec::RichDocument toRichDocument(const QTextDocument &document)
{
    codec::RichDocument model;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const bool last = !block.next().isValid();
        if (last && block.length() == 1)
            break;
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            if (piece.isValid())
                appendFragmentText(model, piece.text(), fromQt(piece.charFormat()));
        }
        model.endParagraph();
    }
    return model;
}

codec::RichDocument toPlainRichDocument(const QTextDocument &document)
{
    codec::RichDocument model;
    model.text = document.toRawText();
    // One pass in place: the copy is ours alone, and the text only shrinks.
    QChar *out = model.text.data();
    for (const QChar *in = out, *end = in + model.text.size(); in != end; ++in) {
        if (*in == QChar::ParagraphSeparator)
            *out++ = QLatin1Char('\n');
        else if (!isForeignCharacter(*in))
            *out++ = *in;
    }
    model.text.truncate(out - model.text.constData());
    // Each block separator ends a paragraph; the last block ends one only if it holds text.
    if (document.lastBlock().length() > 1)
        model.text.append(QLatin1Char('\n'));
    return model;
}

void applyFormats(QTextDocument &document, const codec::RichDocument &model)
{
    if (model.runs.empty())
        return;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const codec::FormatRun &run : model.runs) {
        cursor.setPosition(int(run.start));
        cursor.setPosition(int(run.start + run.length), QTextCursor::KeepAnchor);
        cursor.setCharFormat(toQt(model.formats[run.format]));
    }
    cursor.endEditBlock();
}

void insert(QTextCursor &cursor, const codec::RichDocument &model)
{
    QString text = model.text;
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    cursor.beginEditBlock();
    qsizetype done = 0;
    const auto insertPlain = [&](qsizetype end) {
        if (end > done)
            cursor.insertText(text.mid(done, end - done), QTextCharFormat());
        done = end;
    };
    for (const codec::FormatRun &run : model.runs) {
        const qsizetype start = std::min(run.start, text.size());
        const qsizetype end = std::min(run.start + run.length, text.size());
        insertPlain(start);
        if (end > start)
            cursor.insertText(text.mid(start, end - start), toQt(model.formats[run.format]));
        done = std::max(done, end);
    }
    insertPlain(text.size());
    cursor.endEditBlock();
}

}   // namespace bridge
