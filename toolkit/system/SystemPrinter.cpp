#include "system/SystemPrinter.h"

#include <QFile>
#include <QPrinter>

namespace system_printer {

PdfResult WritePdf(const QString &pdfFileName, const QString &title, const Render &render)
{
    bool finished = false;
    {
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfFileName);
        pdf.setDocName(title);
        try {
            finished = render(pdf);
        } catch (...) {
            pdf.abort();
            QFile::remove(pdfFileName);
            throw;
        }
    }
    if (!finished) {
        // Qt's PDF writer cannot abort: it has written the pages drawn so far.
        QFile::remove(pdfFileName);
        return PdfResult::Cancelled;
    }
    return QFile(pdfFileName).size() > 0 ? PdfResult::Written : PdfResult::NothingWritten;
}

}   // namespace system_printer
