#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QPrinter;

// The one place that speaks to the operating system's print system.
namespace system_printer {

// The name of the default printer, or an empty text when there is none.
QString DefaultPrinter();
// The names of every printer the print system knows.
QStringList Printers();

// Draws the pages on the QPrinter it is given; returns false when the job was
// cancelled, and then nothing is printed.
using Render = std::function<bool(QPrinter &)>;

// Prints one job on the printer, unless `render` cancels it. `title` is the document's
// own title, `jobName` the name the print system shows. Throws when the job cannot be
// made or the print system refuses it.
void Print(const QString &printer, const QString &title, const QString &jobName, const Render &render);

enum class PdfResult { Written, Cancelled, NothingWritten };

// Draws the job into a PDF file named `title`. A cancelled job leaves no file. Qt says
// nothing when it cannot write the file: NothingWritten then.
PdfResult WritePdf(const QString &pdfFileName, const QString &title, const Render &render);

}   // namespace system_printer
