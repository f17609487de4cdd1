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

QString tr(const char *text)
{
    return QCoreApplication::translate("printing", text);
}

QString &outputFile()
{
    static QString fileName;
    return fileName;
}

void render(const QTextDocument &document, QPrinter &printer)
{
    // A copy gets the full rich-text layout for paper; the box keeps its own.
    std::unique_ptr<QTextDocument> copy(document.clone());
    copy->setDefaultFont(document.defaultFont());
    copy->print(&printer);
}

void printToFile(const QTextDocument &document, const QString &title, const QString &pdfFileName)
{
    // Qt says nothing when it cannot write the PDF: the file is checked before and after.
    QFile probe(pdfFileName);
    if (!probe.open(QIODevice::WriteOnly)) {
        throw Exception(tr("Cannot print to file %1: %2")
                            .arg(QuotedFileName(pdfFileName), probe.errorString()));
    }
    probe.close();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfFileName);
    printer.setDocName(title);
    render(document, printer);
    if (QFile(pdfFileName).size() == 0) {
        throw Exception(tr("Cannot print to file %1: nothing was written")
                            .arg(QuotedFileName(pdfFileName)));
    }
}

}   // namespace

void PrintToFile(const QString &pdfFileName)
{
    outputFile() = pdfFileName;
}

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
    if (!outputFile().isEmpty()) {
        printToFile(document, title, outputFile());
        return;
    }
    const QString printer = system_printer::DefaultPrinter();
    if (printer.isEmpty())
        throw Exception(tr("Cannot print: no printer is set up on this computer."));
    system_printer::Print(printer, title, JobName(title),
                          [&document](QPrinter &device) { render(document, device); });
}

}   // namespace printing
