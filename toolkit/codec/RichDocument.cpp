#include "codec/RichDocument.h"

#include <QHash>

namespace codec {

namespace {

std::size_t HashOf(bool value) { return std::size_t(value); }
std::size_t HashOf(int value) { return std::size_t(value); }
std::size_t HashOf(const QString &value) { return qHash(value); }
std::size_t HashOf(const std::optional<Rgb> &rgb)
{
    return rgb ? 1 + (std::size_t(rgb->red) << 16 | std::size_t(rgb->green) << 8 | rgb->blue) : 0;
}

}   // namespace

std::size_t CharacterFormatHash::operator()(const CharacterFormat &format) const
{
    std::size_t h = 0;
    std::apply([&h](const auto &...member) { ((h = h * 1000003u ^ HashOf(member)), ...); }, format.tied());
    return h;
}

QStringList RichDocument::lines() const
{
    QStringList result = text.split(QLatin1Char('\n'));
    // The terminator of the last paragraph leaves one empty piece behind.
    result.removeLast();
    return result;
}

void RichDocument::append(QStringView appended, const CharacterFormat &format)
{
    if (appended.isEmpty())
        return;
    const qsizetype start = text.size();
    text.append(appended);
    if (format.isDefault())
        return;

    if (!runs.empty() && runs.back().start + runs.back().length == start
        && formats[runs.back().format] == format) {
        runs.back().length += appended.size();
        return;
    }
    runs.push_back({ start, appended.size(), intern(format) });
}

void RichDocument::indexNewFormats()
{
    if (indexed_ > formats.size()) {
        index_.clear();
        indexed_ = 0;
    }
    for (; indexed_ < formats.size(); ++indexed_)
        index_.emplace(formats[indexed_], int(indexed_));
}

int RichDocument::intern(const CharacterFormat &format)
{
    indexNewFormats();
    auto found = index_.find(format);
    if (found != index_.end() && formats[std::size_t(found->second)] != format) {
        // Someone rewrote `formats` in place: index it afresh.
        index_.clear();
        indexed_ = 0;
        indexNewFormats();
        found = index_.find(format);
    }
    if (found != index_.end())
        return found->second;
    formats.push_back(format);
    index_.emplace(format, int(indexed_));
    return int(indexed_++);
}

bool operator==(const RichDocument &a, const RichDocument &b)
{
    // Two documents are equal when they hold the same text in the same formats,
    // whatever the order of their format tables.
    if (a.text != b.text || a.runs.size() != b.runs.size())
        return false;
    for (std::size_t i = 0; i < a.runs.size(); ++i) {
        const FormatRun &x = a.runs[i];
        const FormatRun &y = b.runs[i];
        if (x.start != y.start || x.length != y.length || a.formats[x.format] != b.formats[y.format])
            return false;
    }
    return true;
}

}   // namespace codec
