#include "system/Exception.h"
#include "system/SystemPrinter.h"

#include <QCoreApplication>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <cups/cups.h>

namespace system_printer {

QString DefaultPrinter()
{
    cups_dest_t *destination = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (destination == nullptr)
        return {};
    const QString name = QString::fromUtf8(destination->name);
    cupsFreeDests(1, destination);
    return name;
}

// Qt's own CUPS path names the job with the document's whole title, which CUPS refuses
// past 255 bytes, and does not say whether the job was accepted. So the job is made as
// a PDF here and handed to CUPS, which answers.
void Print(const QString &printer, const QString &title, const QString &jobName, const Render &render)
{
    const auto fail = [&printer](const QString &reason) {
        throw Exception(QCoreApplication::translate("printing", "Cannot print on %1: %2")
                            .arg(QuotedFileName(printer), reason));
    };
    QTemporaryDir spool;
    if (!spool.isValid())
        fail(spool.errorString());
    const QString pdfFileName = spool.filePath(QStringLiteral("job.pdf"));
    switch (WritePdf(pdfFileName, title, render)) {
    case PdfResult::Written:
        break;
    case PdfResult::Cancelled:
        return;
    case PdfResult::NothingWritten:
        fail(QCoreApplication::translate("printing", "the print job could not be written"));
    }

    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(),
        QFile::encodeName(pdfFileName).constData(), jobName.toUtf8().constData(), 0, nullptr);
    if (job == 0)
        fail(QString::fromUtf8(cupsLastErrorString()));
}

}   // namespace system_printer
