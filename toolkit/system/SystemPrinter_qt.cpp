#include "system/Exception.h"
#include "system/SystemPrinter.h"
#include "system/Texts.h"

#include <QPrinter>
#include <QPrinterInfo>

// Qt's printer support (Windows, or chosen at configure time), named with the print
// system's job name. Qt does not throw when a job fails: its state says so.
namespace system_printer {

QString DefaultPrinter() { return QPrinterInfo::defaultPrinter().printerName(); }

QStringList Printers() { return QPrinterInfo::availablePrinterNames(); }

void Print(const QString &printer, const QString &title, const QString &jobName, const Render &render)
{
    Q_UNUSED(title)
    QPrinter native(QPrinter::HighResolution);
    native.setPrinterName(printer);
    if (!native.isValid() || native.printerName() != printer) {
        throw Exception(
            SystemTexts::tr("Cannot print on \"%1\": the printer is not available.").arg(printer));
    }
    native.setDocName(jobName);
    // A cancelled job was aborted while it was drawn: the print system dropped it.
    if (!render(native))
        return;
    if (native.printerState() == QPrinter::Error || native.printerState() == QPrinter::Aborted) {
        throw Exception(
            SystemTexts::tr("Cannot print on \"%1\": the print system refused the job.").arg(printer));
    }
}

}   // namespace system_printer
