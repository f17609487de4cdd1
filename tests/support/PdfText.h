#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace support {

// What a PDF written by Qt shows and the title it carries. Read here rather than by
// poppler's tools, which exist on Linux only, so that a printed page is checked the
// same way on every system the tests run on.
struct PdfContent {
    QStringList lines;   // the text of each baseline, top to bottom, page after page
    QString title;
    int pages = 0;
};

// Nothing when the file is not a PDF or shows no page.
std::optional<PdfContent> ReadPdf(const QString &fileName);

}   // namespace support
