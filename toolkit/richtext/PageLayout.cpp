#include "richtext/PageLayout.h"

#include "richtext/Texts.h"
#include "system/Exception.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>

#include <memory>
#include <vector>

namespace printing {

namespace {

// Paragraphs laid out at a time. Qt's text layout keeps its positions as 26.6 fixed-point
// numbers, which at a printer's 1200 dots an inch reach no further than about 2,400 pages;
// laid out whole, a longer list comes out wrong. A part is also all that is in memory.
constexpr int partParagraphs = 4000;

// The page as QTextDocument::print lays out a document that has no pages of its own:
// 2 cm margins, the page's number at the bottom right.
struct Paper {
    QRectF body;   // a page, in printer dots
    QPointF numberAt;
    int horizontalMargin = 0;   // in the resolution Qt's text layout scales from
    int verticalMargin = 0;
};

Paper PaperOf(const QTextDocument &document, QPrinter &printer)
{
    // A new image takes Qt's default resolution, the one the layout scales margins from.
    const QImage screen(1, 1, QImage::Format_Mono);
    const qreal sourceDpiX = screen.logicalDpiX();
    const qreal sourceDpiY = screen.logicalDpiY();
    Paper paper;
    paper.horizontalMargin = int((2 / 2.54) * sourceDpiX);
    paper.verticalMargin = int((2 / 2.54) * sourceDpiY);
    paper.body = QRectF(0, 0, printer.width(), printer.height());
    paper.numberAt
        = QPointF(paper.body.width() - paper.horizontalMargin * (printer.logicalDpiX() / sourceDpiX),
            paper.body.height() - paper.verticalMargin * (printer.logicalDpiY() / sourceDpiY)
                + QFontMetrics(document.defaultFont(), &printer).ascent() + 5 * printer.logicalDpiY() / 72.0);
    return paper;
}

// The paragraphs [first, last] as a document of their own, laid out on the paper.
std::unique_ptr<QTextDocument> PartOf(const QTextDocument &document, const QTextBlock &first,
    const QTextBlock &last, const Paper &paper, QPrinter &printer)
{
    auto part = std::make_unique<QTextDocument>();
    part->setUndoRedoEnabled(false);
    part->setDefaultFont(document.defaultFont());
    part->setDefaultTextOption(document.defaultTextOption());
    part->setIndentWidth(document.indentWidth());
    QTextCursor selection(first);
    selection.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    QTextCursor into(part.get());
    into.insertFragment(QTextDocumentFragment(selection));
    // A fragment that begins at a paragraph's start leaves that paragraph's formats out.
    into.setPosition(0);
    into.setBlockFormat(first.blockFormat());
    into.setBlockCharFormat(first.charFormat());

    part->documentLayout()->setPaintDevice(&printer);
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setLeftMargin(paper.horizontalMargin);
    frame.setRightMargin(paper.horizontalMargin);
    frame.setTopMargin(paper.verticalMargin);
    frame.setBottomMargin(paper.verticalMargin);
    part->rootFrame()->setFrameFormat(frame);
    part->setPageSize(paper.body.size());
    return part;
}

void DrawPage(QPainter &painter, const QTextDocument &part, const Paper &paper, int index, int number)
{
    const qreal height = paper.body.height();
    painter.save();
    painter.translate(paper.body.left(), paper.body.top() - index * height);
    const QRectF view(0, index * height, paper.body.width(), height);
    painter.setClipRect(view);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = view;
    // Not the system palette's text colour, which may be light.
    context.palette.setColor(QPalette::Text, Qt::black);
    part.documentLayout()->draw(&painter, context);

    painter.setClipping(false);
    painter.setFont(part.defaultFont());
    const QString numberText = QString::number(number);
    painter.drawText(qRound(paper.numberAt.x() - painter.fontMetrics().horizontalAdvance(numberText)),
        qRound(paper.numberAt.y() + view.top()), numberText);
    painter.restore();
}

// The index, from 0, of the last page of the part on which a paragraph begins at the
// top: the part is printed up to there, and the next part begins with that paragraph,
// so that the pages come out as the whole document laid out at once would give them.
// 0 when there is none.
int LastCleanPageStart(const std::vector<QTextBlock> &blocks, qreal pageHeight, size_t &paragraph)
{
    int found = 0;
    int previousPage = -1;
    for (size_t index = 0; index < blocks.size(); ++index) {
        const QTextLayout *layout = blocks[index].layout();
        if (layout == nullptr || layout->lineCount() == 0)
            continue;
        const qreal top = layout->position().y();
        const int firstPage = int((top + layout->lineAt(0).y()) / pageHeight);
        if (index > 0 && firstPage > previousPage && firstPage > 0) {
            found = firstPage;
            paragraph = index;
        }
        previousPage = int((top + layout->lineAt(layout->lineCount() - 1).y()) / pageHeight);
    }
    return found;
}

}   // namespace

bool DrawPages(const QTextDocument &document, QPrinter &printer, const Progress &progress)
{
    // What QTextDocument::print does to a printer without margins.
    if (printer.pageLayout().margins(QPageLayout::Millimeter).isNull())
        printer.setPageMargins(QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
    QPainter painter(&printer);
    if (!painter.isActive())
        return true;   // nothing is written, which the printer's side reports
    const Paper paper = PaperOf(document, printer);

    // The event loop may run in `progress`: a change to the document then leaves the
    // paragraphs held here pointing at text that is gone.
    bool changed = false;
    const QMetaObject::Connection watch
        = QObject::connect(&document, &QTextDocument::contentsChanged, [&changed] { changed = true; });
    const auto stopWatching = qScopeGuard([&watch] { QObject::disconnect(watch); });

    const int paragraphs = document.blockCount();
    int paragraphsDone = 0;
    int pagesDone = 0;
    QTextBlock from = document.firstBlock();
    while (from.isValid()) {
        std::vector<QTextBlock> blocks;
        std::unique_ptr<QTextDocument> part;
        int pagesToDraw = 0;
        size_t nextPart = 0;
        for (int take = partParagraphs;; take *= 2) {
            for (QTextBlock block = blocks.empty() ? from : blocks.back().next();
                 block.isValid() && int(blocks.size()) < take; block = block.next())
                blocks.push_back(block);
            part = PartOf(document, blocks.front(), blocks.back(), paper, printer);
            pagesToDraw = part->pageCount();
            if (!blocks.back().next().isValid())
                break;
            std::vector<QTextBlock> laidOut;
            laidOut.reserve(blocks.size());
            for (QTextBlock block = part->firstBlock(); block.isValid(); block = block.next())
                laidOut.push_back(block);
            const int cleanStart = LastCleanPageStart(laidOut, paper.body.height(), nextPart);
            if (cleanStart > 0) {
                pagesToDraw = cleanStart;
                break;
            }
            // One paragraph runs over every page of the part: a longer part.
        }
        const int partPages = part->pageCount();
        const int partParagraphsCount = int(blocks.size());
        const int after = paragraphs - paragraphsDone - partParagraphsCount;
        const int total = pagesDone + partPages + int(qint64(after) * partPages / partParagraphsCount);

        for (int index = 0; index < pagesToDraw; ++index) {
            if (pagesDone > 0 && !printer.newPage())
                throw Exception(
                    RichTextTexts::tr("Cannot print: the printer did not take page %1.").arg(pagesDone + 1));
            DrawPage(painter, *part, paper, index, ++pagesDone);
            if (progress && !progress(pagesDone, total)) {
                printer.abort();
                return false;
            }
            if (changed)
                throw Exception(
                    RichTextTexts::tr("Cannot print: the text changed while it was being printed."));
        }
        if (nextPart == 0) {
            from = QTextBlock();
        } else {
            from = blocks[nextPart];
            paragraphsDone += int(nextPart);
        }
    }
    return true;
}

}   // namespace printing
