#include "richtext/BoxLimits.h"

#include "richtext/Bridge.h"

#include <QTextDocument>

#include <algorithm>
#include <cstdlib>
#include <unordered_map>
#include <vector>

namespace richtext {

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
