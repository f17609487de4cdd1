#pragma once

#include <functional>

class QPrinter;
class QTextDocument;

namespace printing {

// Told after each page is drawn: the pages drawn so far and the pages the job will
// have, reckoned from what is laid out so far and exact once the last part is.
// Returning false cancels the job.
using Progress = std::function<bool(int donePages, int totalPages)>;

// Draws the document on the printer, one page after another, as QTextDocument::print
// lays out a document that has no pages of its own: 2 cm margins, the page's number at
// the bottom right. It is laid out in parts of a few thousand paragraphs, so that a
// list of any length comes out right and only a part is in memory. Throws when the
// printer does not take a page or the document changes meanwhile; returns false when
// `progress` cancelled the job.
bool DrawPages(const QTextDocument &document, QPrinter &printer, const Progress &progress);

}   // namespace printing
