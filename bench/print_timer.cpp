// Prints a box of generated phone-book entries to a PDF file, as File > Print does
// (the list's whole text as the job's title), and prints what it took:
//
//   print_timer [--last-line] LINES [PDF_FILE]
// prints "lines=N print_ms=T pages=P pdf_bytes=B rss_before_bytes=R peak_rss_bytes=M
// last_line=yes|no|unchecked": R is the resident memory with the box filled, before
// printing. pages is counted in the PDF. With --last-line, last_line says whether the
// last entry is on the last page, read with pdftotext ("unknown" without it); at a
// million lines that takes pdftotext minutes, for the title alone holds 30 MB.
#include "BoxFixture.h"
#include "PhoneBookData.h"
#include "printing/Printing.h"
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
        QFile file(plainFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(benchdata::PlainFile(entries)) < 0)
            qFatal("cannot write %s", qPrintable(plainFile));
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
    std::printf("lines=%d print_ms=%.0f pages=%d pdf_bytes=%lld rss_before_bytes=%lld peak_rss_bytes=%lld "
                "last_line=%s\n",
        lines, printMs, pages, static_cast<long long>(QFile(pdfFile).size()), static_cast<long long>(before),
        static_cast<long long>(peak), checkLastLine ? lastLineShown(pdfFile, pages, lastLine) : "unchecked");
    return 0;
}
