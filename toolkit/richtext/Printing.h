#pragma once

#include "richtext/PageLayout.h"

#include <QString>

class QTextDocument;

// What the program prints and where: the list as pages, to the system's default printer.
namespace printing {

// Prints the document as one job named `title`: to the system's default printer, or
// to the PDF file set with PrintToFile. Throws when there is no printer, the job
// cannot be made or handed over, or the document changes while it is printed.
// Returns false when `progress` cancelled the job: then nothing reaches the printer
// and no file is left.
bool Print(const QTextDocument &document, const QString &title, const Progress &progress = {});

// Sends every later job to this PDF file instead of a printer; an empty name restores
// the system's printer. Tests read back what would have been printed.
void PrintToFile(const QString &pdfFileName);

// The job name as the print system can hold it: line ends, tabs and other control
// characters as blanks, cut to 255 bytes of UTF-8 at a character boundary.
QString JobName(const QString &title);

}   // namespace printing
