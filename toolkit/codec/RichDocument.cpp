#include "RichDocument.h"

namespace codec {

RichDocument RichDocument::fromLines(const QStringList &lines)
{
    RichDocument document;
    qsizetype size = 0;
    for (const QString &line : lines)
        size += line.size() + 1;
    document.text.reserve(size);
    for (const QString &line : lines) {
        document.text.append(line);
        document.text.append(QLatin1Char('\n'));
    }
    return document;
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

    int index = -1;
    if (!runs.empty() && runs.back().start + runs.back().length == start
        && formats[runs.back().format] == format) {
        runs.back().length += appended.size();
        return;
    }
    for (int i = int(formats.size()) - 1; i >= 0; --i) {
        if (formats[i] == format) {
            index = i;
            break;
        }
    }
    if (index < 0) {
        index = int(formats.size());
        formats.push_back(format);
    }
    runs.push_back({start, appended.size(), index});
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
