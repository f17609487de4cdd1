#include "system/Printing.h"

#include "system/Exception.h"
#include "system/SystemPrinter.h"

#include <QCoreApplication>
#include <QFile>
#include <QPrinter>
#include <QTextDocument>

#include <memory>

namespace printing {

namespace {

QString Tr(const char *text) { return QCoreApplication::translate("printing", text); }

QString &OutputFile()
{
    static QString fileName;
    return fileName;
}

void Render(const QTextDocument &document, QPrinter &printer)
{
    // A copy gets the full rich-text layout for paper; the box keeps its own.
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setDefaultFont(document.defaultFont());
    copy->print(&printer);
}

void PrintToFile(const QTextDocument &document, const QString &title, const QString &pdfFileName)
{
    // Qt says nothing when it cannot write the PDF: the file is checked before and after.
    QFile probe(pdfFileName);
    if (!probe.open(QIODevice::WriteOnly)) {
        throw Exception(
            Tr("Cannot print to file %1: %2").arg(QuotedFileName(pdfFileName), probe.errorString()));
    }
    probe.close();
    const auto draw = [&document](QPrinter &printer) { Render(document, printer); };
    if (!system_printer::WritePdf(pdfFileName, title, draw)) {
        throw Exception(Tr("Cannot print to file %1: nothing was written").arg(QuotedFileName(pdfFileName)));
    }
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

void Print(const QTextDocument &document, const QString &title)
{
    if (!OutputFile().isEmpty()) {
        PrintToFile(document, title, OutputFile());
        return;
    }
    const QString printer = system_printer::DefaultPrinter();
    if (printer.isEmpty())
        throw Exception(Tr("Cannot print: no printer is set up on this computer."));
    system_printer::Print(
        printer, title, JobName(title), [&document](QPrinter &device) { Render(document, device); });
}

}   // namespace printing

namespace system_printer {

bool WritePdf(const QString &pdfFileName, const QString &title, const std::function<void(QPrinter &)> &render)
{
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfFileName);
        pdf.setDocName(title);
        render(pdf);
    }
    return QFile(pdfFileName).size() > 0;
}

}   // namespace system_printer
