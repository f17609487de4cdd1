#include "richtext/Bridge.h"

#include "richtext/BoxLimits.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <utility>

namespace richtext {

namespace {

codec::Rgb ToRgb(const QColor &color)
{
    return { std::uint8_t(color.red()), std::uint8_t(color.green()), std::uint8_t(color.blue()) };
}

QColor ToColor(const codec::Rgb &rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

// Characters that a Qt document may hold but a line of the list may not. U+FFFC is
// a picture only where the format says so: the same character in a file is text.
bool IsForeignCharacter(QChar c)
{
    return c == QChar::Null || c == QChar(0xFDD0) || c == QChar(0xFDD1)   // frame start and end
        || c == QLatin1Char('\r');
}

// Characters that Qt's document takes for its own structure: inserted as text, each
// becomes a paragraph end. The box holds a stand-in instead, whose format names the
// character it stands for, and gives the character back when read.
bool IsReservedByQt(QChar c) { return c == QChar(0xFDD0) || c == QChar(0xFDD1); }

constexpr QChar standIn = QChar::ReplacementCharacter;

void AppendFragmentText(codec::RichDocument &model, QString text, const QTextCharFormat &qtFormat)
{
    const codec::CharacterFormat format = FromQt(qtFormat);
    if (qtFormat.objectType() != QTextFormat::NoObject || qtFormat.isImageFormat()) {
        text.remove(QChar::ObjectReplacementCharacter);
    } else if (qtFormat.hasProperty(standsForProperty)) {
        // Text typed after a stand-in takes its format too: only the stand-in changes back.
        text.replace(standIn, QChar(char16_t(qtFormat.intProperty(standsForProperty))));
        model.append(text, format);
        return;
    }
    if (std::any_of(text.cbegin(), text.cend(), IsForeignCharacter))
        text.removeIf(IsForeignCharacter);
    model.append(text, format);
}

// Inserts `part`, the model's text from `start` on, at the cursor in `plainFormat`,
// gives the runs from `nextRun` on that fall in it their formats, and the characters
// Qt reserves their stand-ins; leaves the cursor after the part. Returns whether
// there were such characters. One insertText for the whole part: Qt splits it into
// blocks far faster than a block at a time.
bool InsertPart(QTextCursor &cursor, QString part, qsizetype start, const codec::RichDocument &model,
    std::size_t &nextRun, const QTextCharFormat &plainFormat)
{
    const qsizetype end = start + part.size();
    const qsizetype offset = cursor.position() - start;
    std::vector<std::pair<qsizetype, char16_t>> reserved;
    if (std::any_of(part.cbegin(), part.cend(), IsReservedByQt)) {
        for (qsizetype i = 0; i < part.size(); ++i) {
            if (IsReservedByQt(part.at(i))) {
                reserved.emplace_back(start + i, part.at(i).unicode());
                part[i] = standIn;
            }
        }
    }
    cursor.insertText(part, plainFormat);
    const int after = cursor.position();
    const auto select = [&](qsizetype from, qsizetype to) {
        cursor.setPosition(int(offset + from));
        cursor.setPosition(int(offset + to), QTextCursor::KeepAnchor);
    };
    // A run may go on into the next part: it is given its format a part at a time.
    for (; nextRun < model.runs.size(); ++nextRun) {
        const codec::FormatRun &run = model.runs[nextRun];
        if (run.start >= end)
            break;
        const qsizetype runEnd = run.start + run.length;
        if (runEnd > start) {
            select(std::max(run.start, start), std::min(runEnd, end));
            cursor.setCharFormat(ToQt(model.formats[std::size_t(run.format)]));
        }
        if (runEnd > end)
            break;
    }
    for (const auto &[position, character] : reserved) {
        select(position, position + 1);
        QTextCharFormat standsFor;
        standsFor.setProperty(standsForProperty, int(character));
        cursor.mergeCharFormat(standsFor);
    }
    cursor.setPosition(after);
    return !reserved.empty();
}

}   // namespace

QTextCharFormat ToQt(const codec::CharacterFormat &format)
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
        result.setFontFamilies({ format.fontFamily });
    if (format.halfPoints > 0)
        result.setFontPointSize(format.halfPoints / 2.0);
    if (format.foreground)
        result.setForeground(ToColor(*format.foreground));
    if (format.background)
        result.setBackground(ToColor(*format.background));
    return result;
}

codec::CharacterFormat FromQt(const QTextCharFormat &format)
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
        result.foreground = ToRgb(format.foreground().color());
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        result.background = ToRgb(format.background().color());
    return result;
}

codec::RichDocument ToRichDocument(const QTextDocument &document)
{
    codec::RichDocument model;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const bool last = !block.next().isValid();
        if (last && block.length() == 1)
            break;
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            if (piece.isValid())
                AppendFragmentText(model, piece.text(), piece.charFormat());
        }
        model.endParagraph();
    }
    return model;
}

codec::RichDocument ToRichDocument(const QTextCursor &selection)
{
    const QTextDocument &document = *selection.document();
    const int from = selection.selectionStart();
    const int to = selection.selectionEnd();
    codec::RichDocument model;
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            const int start = std::max(piece.position(), from);
            const int end = std::min(piece.position() + piece.length(), to);
            if (piece.isValid() && start < end)
                AppendFragmentText(
                    model, piece.text().mid(start - piece.position(), end - start), piece.charFormat());
        }
        if (block.position() + block.length() - 1 < to)
            model.endParagraph();
    }
    model.endParagraph();
    return model;
}

codec::RichDocument ToPlainRichDocument(const QTextDocument &document)
{
    codec::RichDocument model;
    model.text = document.toRawText();
    // One pass in place: the copy is ours alone, and the text only shrinks.
    QChar *out = model.text.data();
    for (const QChar *in = out, *end = in + model.text.size(); in != end; ++in) {
        if (*in == QChar::ParagraphSeparator)
            *out++ = QLatin1Char('\n');
        else if (!IsForeignCharacter(*in))
            *out++ = *in;
    }
    model.text.truncate(out - model.text.constData());
    // Each block separator ends a paragraph; the last block ends one only if it holds text.
    if (document.lastBlock().length() > 1)
        model.text.append(QLatin1Char('\n'));
    return model;
}

Filler::Filler(QTextDocument &document, codec::RichDocument model)
    : document_(document)
    , model_(std::move(model))
    , size_(model_.text.size())
    , undoWas_(document.isUndoRedoEnabled())
{
    document_.setUndoRedoEnabled(false);
    document_.clear();
}

Filler::~Filler() { document_.setUndoRedoEnabled(undoWas_); }

bool Filler::HoldsFormatting() const { return holdsStandIns_ || !model_.runs.empty(); }

void Filler::Step(qsizetype characters)
{
    if (Done())
        return;
    const QString &text = model_.text;
    const qsizetype start = done_;
    qsizetype end = start + std::max<qsizetype>(characters, 1) - 1;
    end = end >= size_ ? -1 : text.indexOf(QLatin1Char('\n'), end - dropped_);
    end = end < 0 ? size_ : end + dropped_ + 1;

    QTextCursor cursor(&document_);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    holdsStandIns_ = InsertPart(cursor, text.mid(start - dropped_, end - start), start, model_, nextRun_, {})
        || holdsStandIns_;
    cursor.endEditBlock();
    done_ = end;
    letGoOfFilledText();
}

void Filler::letGoOfFilledText()
{
    // Half of what is left at a time: the copies cost no more than one of the whole
    // text, and at the end the document is not held beside a copy of all its text.
    constexpr qsizetype worthLettingGo = 1 << 20;
    const qsizetype filled = done_ - dropped_;
    if (filled < worthLettingGo || filled < size_ - done_)
        return;
    model_.text = model_.text.mid(filled);
    dropped_ = done_;
}

bool Insert(QTextCursor &cursor, const codec::RichDocument &model, const QTextCharFormat &plainFormat)
{
    const qsizetype length = model.text.size() - (model.text.endsWith(QLatin1Char('\n')) ? 1 : 0);
    std::size_t nextRun = 0;
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const bool standIns = InsertPart(cursor, model.text.first(length), 0, model, nextRun, plainFormat);
    cursor.endEditBlock();
    return standIns || !model.runs.empty();
}

codec::RichDocument FromHtml(QString html, const QTextDocument *joined)
{
    // As a browser reads HTML: CR LF and CR are LF. Qt's parser would otherwise end
    // every paragraph of a Windows program's HTML with a blank.
    if (html.contains(QLatin1Char('\r'))) {
        html.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        html.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    QTextDocument parsed;
    parsed.setHtml(html);
    html.clear();
    return FitForBox(ToRichDocument(parsed), joined);
}

codec::RichDocument FromPlainText(QString text)
{
    codec::RichDocument model;
    // In place: the text only shrinks.
    QChar *out = text.data();
    for (const QChar *in = out, *end = in + text.size(); in != end; ++in) {
        const char16_t c = in->unicode();
        if (c == u'\r') {
            if (in + 1 != end && in[1] == u'\n')
                ++in;
            *out++ = QLatin1Char('\n');
        } else if (c == QChar::ParagraphSeparator) {
            *out++ = QLatin1Char('\n');
        } else if (c != 0) {
            *out++ = *in;
        }
    }
    text.truncate(out - text.constData());
    if (!text.isEmpty())
        text.append(QLatin1Char('\n'));
    model.text = std::move(text);
    return model;
}

}   // namespace richtext
