// Prints a box of generated phone-book entries to a PDF file, as File > Print does
// (the list's whole text as the job's title), and prints what it took:
//
//   print_timer [--last-line] LINES [PDF_FILE]
// prints lines, print_ms, pages, pdf_bytes, rss_before_bytes, peak_rss_bytes and
// last_line (yes, no or unchecked), each "key value" on a line of its own:
// rss_before_bytes is the resident memory with the box filled, before printing. pages is counted in the PDF.
// With --last-line, last_line says whether the last entry is on the last page, read with pdftotext ("unknown"
// without it); at a million lines that takes pdftotext minutes, for the title alone holds 30 MB.
#include "BoxFixture.h"
#include "Keys.h"
#include "PhoneBookData.h"
#include "richtext/Printing.h"
#include "system/Exception.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Qt writes each page as its own object "/Type /Page"; the page tree is "/Type /Pages".
int countPages(const QString &pdfFileName)
{
    QFile pdf(pdfFileName);
    if (!pdf.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = pdf.readAll();
    const QByteArray mark("/Type /Page");
    int pages = 0;
    for (qsizetype at = bytes.indexOf(mark); at >= 0; at = bytes.indexOf(mark, at + mark.size())) {
        if (bytes.mid(at + mark.size(), 1) != "s")
            ++pages;
    }
    return pages;
}

const char *lastLineShown(const QString &pdfFileName, int pages, const QString &lastLine)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() || pages < 1)
        return "unknown";
    const QString page = QString::number(pages);
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
        { QStringLiteral("-f"), page, QStringLiteral("-l"), page, pdfFileName, QStringLiteral("-") });
    if (!text.waitForFinished(600000)) {
        text.kill();
        text.waitForFinished();
        return "unknown";
    }
    // pdftotext may show a double blank as one.
    QString squeezed = lastLine;
    squeezed.replace(QStringLiteral("  "), QStringLiteral(" "));
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    return printed.contains(lastLine) || printed.contains(squeezed) ? "yes" : "no";
}

}   // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool checkLastLine = arguments.removeAll(QStringLiteral("--last-line")) > 0;
    const int lines = arguments.isEmpty() ? 0 : arguments[0].toInt();
    if (lines < 1) {
        std::fprintf(stderr, "usage: print_timer [--last-line] LINES [PDF_FILE]\n");
        return 2;
    }
    QTemporaryDir directory;
    const QString plainFile = directory.filePath(QStringLiteral("baza.txt"));
    const QString pdfFile
        = arguments.size() > 1 ? arguments[1] : directory.filePath(QStringLiteral("job.pdf"));
    QString lastLine;
    {
        const QStringList entries = benchdata::Entries(lines);
        lastLine = entries.last();
        benchdata::WriteFile(plainFile, benchdata::PlainFile(entries));
    }
    const std::unique_ptr<TRichEdit> box = benchdata::NewHiddenBox(plainFile);
    const QString title = box->Text();

    printing::PrintToFile(pdfFile);
    const qint64 before = benchdata::ResidentBytes();
    QElapsedTimer clock;
    clock.start();
    try {
        printing::Print(*box->document(), title);
    } catch (const Exception &error) {
        std::fprintf(stderr, "print_timer: %s\n", qPrintable(error.Message()));
        return 1;
    }
    const double printMs = double(clock.nsecsElapsed()) / 1e6;
    const qint64 peak = benchdata::PeakResidentBytes();

    const int pages = countPages(pdfFile);
    namespace key = keys::print_timer;
    std::printf("%s %d\n%s %.0f\n%s %d\n", key::lines, lines, key::print_ms, printMs, key::pages, pages);
    std::printf("%s %lld\n%s %lld\n%s %lld\n", key::pdf_bytes, static_cast<long long>(QFile(pdfFile).size()),
        key::rss_before_bytes, static_cast<long long>(before), key::peak_rss_bytes,
        static_cast<long long>(peak));
    std::printf(
        "%s %s\n", key::last_line, checkLastLine ? lastLineShown(pdfFile, pages, lastLine) : "unchecked");
    return 0;
}
