#pragma once

#include "codec/RichDocument.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

// Stops the process so that the fuzzer (or the replay test) records the input.
[[noreturn]] inline void fail(const char *what)
{
    std::fprintf(stderr, "broken invariant: %s\n", what);
    std::abort();
}

inline void require(bool condition, const char *what)
{
    if (!condition)
        fail(what);
}

// What every reader promises about the document it returns (see RichDocument.h).
inline void checkDocument(const codec::RichDocument &document)
{
    const QString &text = document.text;
    require(text.isEmpty() || text.endsWith(QLatin1Char('\n')), "text does not end with a paragraph end");
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        require(unit != u'\r' && unit != 0x2029 && unit != 0, "text holds CR, U+2029 or NUL");
    }
    qsizetype previousEnd = 0;
    for (const codec::FormatRun &run : document.runs) {
        require(run.length > 0, "empty run");
        require(run.start >= previousEnd, "runs overlap or are not sorted");
        require(run.start + run.length <= text.size(), "run beyond the text");
        require(run.format >= 0 && std::size_t(run.format) < document.formats.size(), "run names no format");
        require(!document.formats[std::size_t(run.format)].isDefault(), "run names the default format");
        previousEnd = run.start + run.length;
    }
}

}   // namespace fuzz
