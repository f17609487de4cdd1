#include "richtext/Printing.h"

#include "richtext/PageLayout.h"
#include "richtext/Texts.h"
#include "system/Exception.h"
#include "system/SystemPrinter.h"
#include "system/Texts.h"

#include <QFile>
#include <QPrinter>
#include <QStringList>

namespace printing {

namespace {

QString &OutputFile()
{
    static QString fileName;
    return fileName;
}

// Into a PDF file instead of a printer, for the tests.
bool PrintAsPdf(
    const QTextDocument &document, const QString &title, const QString &pdfFileName, const Progress &progress)
{
    // Qt says nothing when it cannot write the PDF: the file is checked before and after.
    QFile probe(pdfFileName);
    ClearSystemError();
    if (!probe.open(QIODevice::WriteOnly)) {
        throw Exception(RichTextTexts::tr("Cannot print to file %1: %2.")
                            .arg(QuotedFileName(pdfFileName), FileErrorReason(probe)));
    }
    probe.close();
    const auto draw = [&](QPrinter &printer) { return DrawPages(document, printer, progress); };
    switch (system_printer::WritePdf(pdfFileName, title, draw)) {
    case system_printer::PdfResult::Written:
        return true;
    case system_printer::PdfResult::Cancelled:
        return false;
    case system_printer::PdfResult::NothingWritten:
        break;
    }
    throw Exception(
        RichTextTexts::tr("Cannot print to file %1: nothing was written.").arg(QuotedFileName(pdfFileName)));
}

}   // namespace

void PrintToFile(const QString &pdfFileName) { OutputFile() = pdfFileName; }

QString JobName(const QString &title)
{
    QString name = title;
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    constexpr qsizetype limit = 255;
    const QByteArray utf8 = name.toUtf8();
    if (utf8.size() <= limit)
        return name;
    qsizetype cut = limit;
    while (cut > 0 && (quint8(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return QString::fromUtf8(utf8.left(cut));
}

bool Print(const QTextDocument &document, const QString &title, const Progress &progress)
{
    if (!OutputFile().isEmpty())
        return PrintAsPdf(document, title, OutputFile(), progress);
    QString printer = system_printer::DefaultPrinter();
    if (printer.isEmpty()) {
        // With one printer there is no choosing to be done; among several, the program
        // does not choose for the user.
        const QStringList printers = system_printer::Printers();
        if (printers.isEmpty())
            throw Exception(RichTextTexts::tr("Cannot print: no printer is set up on this computer."));
        if (printers.size() > 1) {
            throw Exception(RichTextTexts::tr(
                "Cannot print: none of the printers of this computer is chosen as the default one."));
        }
        printer = printers.front();
    }
    bool finished = false;
    system_printer::Print(printer, title, JobName(title), [&](QPrinter &device) {
        finished = DrawPages(document, device, progress);
        return finished;
    });
    return finished;
}

}   // namespace printing
