#include "support/DocumentChecks.h"

namespace support {

const char *DocumentFault(const codec::RichDocument &document)
{
    const QString &text = document.text;
    if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n')))
        return "text does not end with a paragraph end";
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\r' || unit == 0x2029 || unit == 0)
            return "text holds CR, U+2029 or NUL";
    }
    qsizetype previousEnd = 0;
    for (const codec::FormatRun &run : document.runs) {
        if (run.length <= 0)
            return "empty run";
        if (run.start < previousEnd)
            return "runs overlap or are not sorted";
        if (run.start + run.length > text.size())
            return "run beyond the text";
        if (run.format < 0 || std::size_t(run.format) >= document.formats.size())
            return "run names no format";
        if (document.formats[std::size_t(run.format)].isDefault())
            return "run names the default format";
        previousEnd = run.start + run.length;
    }
    return nullptr;
}

}   // namespace support
