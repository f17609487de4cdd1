#include "richtext/Bridge.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>
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

namespace {

// Keeps the first `capacity` distinct values it is shown; any later one becomes the
// nearest value kept.
template <typename Value> class Keeper {
public:
    explicit Keeper(std::size_t capacity)
        : capacity_(capacity)
    {
    }

    template <typename Distance> Value fold(const Value &value, Distance distance)
    {
        if (std::find(kept_.cbegin(), kept_.cend(), value) != kept_.cend())
            return value;
        if (kept_.size() < capacity_) {
            kept_.push_back(value);
            return value;
        }
        return *std::min_element(kept_.cbegin(), kept_.cend(),
            [&](const Value &a, const Value &b) { return distance(a, value) < distance(b, value); });
    }

private:
    std::size_t capacity_;
    std::vector<Value> kept_;
};

int ColourDistance(const codec::Rgb &a, const codec::Rgb &b)
{
    const auto square = [](int d) { return d * d; };
    return square(a.red - b.red) + square(a.green - b.green) + square(a.blue - b.blue);
}

class Folding {
public:
    Folding()
    {
        families_.fold(QString(), [](const QString &, const QString &) { return 0; });
    }

    codec::CharacterFormat fold(codec::CharacterFormat format)
    {
        if (format.halfPoints > 0) {
            const int clamped
                = std::clamp(format.halfPoints, limits::smallestHalfPoints, limits::largestHalfPoints);
            format.halfPoints = sizes_.fold(clamped, [](int a, int b) { return std::abs(a - b); });
        }
        if (!format.fontFamily.isEmpty()) {
            // No family is near another: one not kept is shown in the default font.
            format.fontFamily = families_.fold(format.fontFamily,
                [&](const QString &kept, const QString &) { return kept.isEmpty() ? 0 : 1; });
        }
        if (format.foreground)
            format.foreground = foregrounds_.fold(*format.foreground, ColourDistance);
        if (format.background)
            format.background = backgrounds_.fold(*format.background, ColourDistance);
        return format;
    }

private:
    Keeper<int> sizes_ { limits::fontSizes };
    // The empty family is kept too, as the one that a family beyond the limit becomes.
    Keeper<QString> families_ { limits::fontFamilies + 1 };
    Keeper<codec::Rgb> foregrounds_ { limits::colours };
    Keeper<codec::Rgb> backgrounds_ { limits::colours };
};

// Appends runs, merging one with the run before it when they touch and share a format.
void AppendRun(std::vector<codec::FormatRun> &runs, const codec::FormatRun &run)
{
    if (!runs.empty() && runs.back().format == run.format
        && runs.back().start + runs.back().length == run.start) {
        runs.back().length += run.length;
        return;
    }
    runs.push_back(run);
}

// The runs of one line, merged in consecutive groups when there are too many.
void AppendLine(std::vector<codec::FormatRun> &runs, const std::vector<codec::FormatRun> &line)
{
    if (line.size() <= std::size_t(limits::runsPerParagraph)) {
        for (const codec::FormatRun &run : line)
            AppendRun(runs, run);
        return;
    }
    const std::size_t group = (line.size() + limits::runsPerParagraph - 1) / limits::runsPerParagraph;
    for (std::size_t first = 0; first < line.size(); first += group) {
        const std::size_t last = std::min(first + group, line.size()) - 1;
        const auto longest
            = std::max_element(line.begin() + qsizetype(first), line.begin() + qsizetype(last) + 1,
                [](const codec::FormatRun &a, const codec::FormatRun &b) { return a.length < b.length; });
        const qsizetype start = line[first].start;
        AppendRun(runs, { start, line[last].start + line[last].length - start, longest->format });
    }
}

}   // namespace

codec::RichDocument FitForBox(const codec::RichDocument &model, const QTextDocument *joined)
{
    Folding folding;
    if (joined) {
        for (const QTextFormat &format : joined->allFormats()) {
            if (format.isCharFormat())
                folding.fold(FromQt(format.toCharFormat()));
        }
    }
    codec::RichDocument result;
    result.text = model.text;
    if (model.runs.empty())
        return result;

    // Each format of the model, folded, as an index into the result's own table.
    std::unordered_map<codec::CharacterFormat, int, codec::CharacterFormatHash> indices;
    std::vector<int> folded(model.formats.size(), -1);
    for (std::size_t i = 0; i < model.formats.size(); ++i) {
        const codec::CharacterFormat format = folding.fold(model.formats[i]);
        if (format.isDefault())
            continue;
        const auto found = indices.emplace(format, int(result.formats.size()));
        if (found.second)
            result.formats.push_back(format);
        folded[i] = found.first->second;
    }

    std::vector<codec::FormatRun> line;
    qsizetype lineEnd = -1;
    const QString &text = model.text;
    for (const codec::FormatRun &run : model.runs) {
        if (folded[std::size_t(run.format)] < 0)
            continue;
        if (run.start > lineEnd) {
            AppendLine(result.runs, line);
            line.clear();
            lineEnd = text.indexOf(QLatin1Char('\n'), run.start);
            if (lineEnd < 0)
                lineEnd = text.size();
        }
        AppendRun(line, { run.start, run.length, folded[std::size_t(run.format)] });
    }
    AppendLine(result.runs, line);
    return result;
}

qint64 EstimatedBytes(const codec::RichDocument &model, bool intoShownBox)
{
    // Measured with Qt 6.4 on Linux, peak resident memory of a loaded, shown box: an
    // empty paragraph 105 bytes (160 in the whole program), 460 when the box had been
    // shown before; a character 6.5; a run of a format 123 (its copy here included); a
    // character of a line that is laid out whole, as a line longer than the box always
    // is once shown, 43.
    const qint64 perParagraph = intoShownBox ? 480 : 160;
    constexpr qint64 perCharacter = 8;
    constexpr qint64 perRun = 130;
    constexpr qint64 perLaidOutCharacter = 45;
    constexpr qsizetype longLine = 4096;
    const QString &text = model.text;
    qint64 paragraphs = 0;
    qint64 laidOut = 0;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        ++paragraphs;
        if (end - start > longLine)
            laidOut += end - start;
        start = end + 1;
    }
    return paragraphs * perParagraph + qint64(text.size()) * perCharacter + laidOut * perLaidOutCharacter
        + qint64(model.runs.size()) * perRun;
}

bool NeedsBreaksAnywhere(QStringView text)
{
    // Such a stretch fills a whole window of longestWord + 1 characters. Each window is
    // read from its end, and the next starts past the blank found, so that a list of
    // short lines is decided by a few characters a window, not by every one of them.
    constexpr qsizetype window = limits::longestWord + 1;
    for (qsizetype start = 0; start + window <= text.size();) {
        qsizetype blank = start + window - 1;
        while (blank >= start && !text[blank].isSpace())
            --blank;
        if (blank < start)
            return true;
        start = blank + 1;
    }
    return false;
}

}   // namespace richtext
