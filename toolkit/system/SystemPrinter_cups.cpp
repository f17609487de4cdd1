#include "system/Exception.h"
#include "system/SystemPrinter.h"
#include "system/Texts.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <cerrno>
#include <cups/cups.h>

namespace system_printer {

namespace {

// Why CUPS did not take the job, in the program's words where it has them.
QString Reason(ipp_status_t status)
{
    switch (status) {
    case IPP_STATUS_ERROR_NOT_FOUND:
        return SystemTexts::tr("the printer does not exist");
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        return SystemTexts::tr("the printer does not take jobs now");
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
        return SystemTexts::tr("the print system does not let this user print");
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_TEMPORARY:
        return SystemTexts::tr("the print system does not answer");
    case IPP_STATUS_ERROR_REQUEST_ENTITY:
        return SystemTexts::tr("the job is too large for the print system");
    default:
        break;
    }
    const QString own = QString::fromUtf8(cupsLastErrorString());
    return own.isEmpty() ? SystemTexts::tr("the print system refused the job") : own;
}

}   // namespace

QString DefaultPrinter()
{
    cups_dest_t *destination = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (destination == nullptr)
        return {};
    const QString name = QString::fromUtf8(destination->name);
    cupsFreeDests(1, destination);
    return name;
}

QStringList Printers()
{
    cups_dest_t *destinations = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &destinations);
    QStringList names;
    for (int index = 0; index < count; ++index) {
        if (destinations[index].instance == nullptr)
            names.append(QString::fromUtf8(destinations[index].name));
    }
    cupsFreeDests(count, destinations);
    return names;
}

// Qt's own CUPS path names the job with the document's whole title, which CUPS refuses
// past 255 bytes, and does not say whether the job was accepted. So the job is made as
// a PDF here and handed to CUPS, which answers.
void Print(const QString &printer, const QString &title, const QString &jobName, const Render &render)
{
    const auto fail = [&printer](const QString &reason) {
        throw Exception(SystemTexts::tr("Cannot print on \"%1\": %2.").arg(printer, reason));
    };
    QTemporaryDir spool;
    if (!spool.isValid())
        fail(SystemErrorReason(errno));
    const QString pdfFileName = spool.filePath(QStringLiteral("job.pdf"));
    switch (WritePdf(pdfFileName, title, render)) {
    case PdfResult::Written:
        break;
    case PdfResult::Cancelled:
        return;
    case PdfResult::NothingWritten:
        fail(SystemTexts::tr("the print job could not be written"));
    }

    const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(),
        QFile::encodeName(pdfFileName).constData(), jobName.toUtf8().constData(), 0, nullptr);
    if (job == 0)
        fail(Reason(cupsLastError()));
}

}   // namespace system_printer
