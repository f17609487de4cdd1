#include "SystemPrinter.h"

#include <QPrinter>
#include <QPrinterInfo>

// Without CUPS (Windows) the job goes through Qt's printer support, named with the
// print system's job name.
namespace system_printer {

QString DefaultPrinter()
{
    return QPrinterInfo::defaultPrinter().printerName();
}

void Print(const QString &printer, const QString &title, const QString &jobName,
           const std::function<void(QPrinter &)> &render)
{
    Q_UNUSED(title)
    QPrinter native(QPrinter::HighResolution);
    native.setPrinterName(printer);
    native.setDocName(jobName);
    render(native);
}

}   // namespace system_printer
