// The whole path of a phone book through the box: the bytes as baza.txt, loaded into
// a rich-text box, saved by the real writer, loaded again into another box. The box
// must hold the lines the reader read, and the second box the same lines and formats
// as the first, but for what the writer and the box are documented to fold.
#include "DocumentChecks.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "richtext/BoxLimits.h"
#include "richtext/DocumentFiles.h"
#include "support/TestFiles.h"
#include "system/Exception.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

QApplication &application()
{
    static int argc = 1;
    static char name[] = "fuzz_boxroundtrip";
    static char *argv[] = { name, nullptr };
    static const bool platformSet = qputenv("QT_QPA_PLATFORM", "offscreen");
    Q_UNUSED(platformSet);
    static QApplication app(argc, argv);
    return app;
}

// What the writer folds: a size or a family equal to its defaults is written as the
// default, which reads back as "no size" and "no family"; a lone surrogate, which is
// no character, is written as U+FFFD.
QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

codec::RichDocument asSaved(const codec::RichDocument &given)
{
    const codec::RtfWriterOptions options = phonebook::SaveFormat();
    codec::RichDocument document = given;
    document.text = withoutLoneSurrogates(given.text);
    codec::RichDocument result;
    for (const codec::FormatRun &run : document.runs) {
        codec::CharacterFormat format = document.formats[std::size_t(run.format)];
        if (format.halfPoints == options.defaultHalfPoints)
            format.halfPoints = 0;
        if (format.fontFamily == options.defaultFontFamily)
            format.fontFamily.clear();
        // Rebuilt through append, so that runs that now share a format merge.
        result.text.append(
            QStringView(document.text).mid(result.text.size(), run.start - result.text.size()));
        result.append(QStringView(document.text).mid(run.start, run.length), format);
    }
    result.text = document.text;
    return result;
}

void report(const char *what, const codec::RichDocument &a, const codec::RichDocument &b)
{
    const QStringList left = a.lines();
    const QStringList right = b.lines();
    std::fprintf(stderr, "%s: %lld lines, then %lld; %zu runs, then %zu\n", what, qint64(left.size()),
        qint64(right.size()), a.runs.size(), b.runs.size());
    for (qsizetype i = 0; i < std::min(left.size(), right.size()); ++i) {
        if (left[i] != right[i]) {
            std::fprintf(stderr, "line %lld: [%s] then [%s]\n", qint64(i), qUtf8Printable(left[i]),
                qUtf8Printable(right[i]));
            break;
        }
    }
    fuzz::fail(what);
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    application();
    static QTemporaryDir directory;
    const QString input = directory.filePath(QStringLiteral("baza.txt"));
    const QString saved = directory.filePath(QStringLiteral("baza.doc"));
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    fuzz::require(support::WriteFile(input, bytes), "cannot write the input file");

    TRichEdit first;
    first.resize(281, 353);
    try {
        first.Lines->LoadFromFile(input);
    } catch (const Exception &) {
        return 0;   // refused and reported; the box keeps what it held
    }
    first.show();
    first.repaint();
    const codec::RichDocument loaded = first.Document();
    fuzz::checkDocument(loaded);
    const codec::RichDocument read = richtext::Decode(bytes);
    if (loaded.lines() != read.lines())
        report("the box holds other lines than the file", read, loaded);
    if (loaded != richtext::FitForBox(read))
        report("the box holds other formats than the file, folded", richtext::FitForBox(read), loaded);

    fuzz::require(support::WriteFile(saved, codec::WriteRtf(loaded, phonebook::SaveFormat())),
        "cannot write the saved file");
    TRichEdit second;
    second.Lines->LoadFromFile(saved);
    const codec::RichDocument again = second.Document();
    fuzz::checkDocument(again);
    const codec::RichDocument expected = asSaved(loaded);
    if (again.lines() != expected.lines())
        report("the lines saved do not load again", expected, again);
    if (again != expected)
        report("the formats saved do not load again", expected, again);
    return 0;
}
