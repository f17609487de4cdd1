#include "DocumentChecks.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "support/TestFiles.h"

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <utility>

namespace {

// The lines a list can hold: the bytes read as UTF-8 (invalid sequences become
// U+FFFD, so no lone surrogate), one line per '\n'. What a line cannot hold is
// left out: paragraph ends (CR, U+2029) and NUL, which the box never holds.
QStringList linesFromBytes(QByteArrayView bytes)
{
    QString text = QString::fromUtf8(bytes);
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : std::as_const(text)) {
        const char16_t unit = c.unicode();
        if (unit != u'\r' && unit != 0 && unit != 0x2029)
            kept.append(c);
    }
    if (kept.isEmpty())
        return {};
    QStringList lines = kept.split(QLatin1Char('\n'));
    // A trailing '\n' ends the last line rather than starting an empty one.
    if (kept.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QStringList lines
        = linesFromBytes(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QByteArray rtf = codec::WriteRtf(support::DocumentOf(lines), phonebook::SaveFormat());
    const codec::RichDocument back = codec::ReadRtf(rtf);
    fuzz::checkDocument(back);
    if (back.lines() != lines) {
        std::fprintf(stderr, "written:\n%s\n", rtf.constData());
        for (const QString &line : lines)
            std::fprintf(stderr, "given: [%s]\n", qUtf8Printable(line));
        for (const QString &line : back.lines())
            std::fprintf(stderr, "read:  [%s]\n", qUtf8Printable(line));
        fuzz::fail("the list read back differs from the list written");
    }
    fuzz::require(back.runs.empty(), "plain lines came back formatted");
    return 0;
}
