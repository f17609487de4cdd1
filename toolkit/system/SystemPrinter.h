#pragma once

#include <QString>

#include <functional>

class QPrinter;

// The one place that speaks to the operating system's print system.
namespace system_printer {

// The name of the default printer, or an empty text when there is none.
QString DefaultPrinter();

// Prints one job on the printer: `render` draws the pages on the QPrinter it is given.
// `title` is the document's own title, `jobName` the name the print system shows.
// Throws when the job cannot be made or the print system refuses it.
void Print(const QString &printer, const QString &title, const QString &jobName,
           const std::function<void(QPrinter &)> &render);

}   // namespace system_printer
