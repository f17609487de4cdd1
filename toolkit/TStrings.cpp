#include "TStrings.h"

#include "DocumentFile.h"
#include "Exception.h"
#include "Files.h"
#include "Memory.h"
#include "RtfWriter.h"
#include "TRichEdit.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <new>

TStrings::TStrings(TRichEdit &box)
    : box_(box)
{
}

int TStrings::Count() const
{
    const QTextDocument &document = *box_.document();
    const bool endsInEmptyParagraph = document.lastBlock().length() == 1;
    return document.blockCount() - (endsInEmptyParagraph ? 1 : 0);
}

QString TStrings::Strings(int index) const
{
    if (index < 0 || index >= Count()) {
        throw Exception(QCoreApplication::translate("TStrings", "List index out of bounds (%1)")
                            .arg(index));
    }
    return box_.document()->findBlockByNumber(index).text();
}

void TStrings::Add(const QString &line)
{
    QTextDocument &document = *box_.document();
    QTextCursor cursor(&document);
    // Inside an edit block a cursor that moves does not lay out the line it lands on.
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    const bool endsInEmptyParagraph = document.lastBlock().length() == 1;
    QString text;
    text.reserve(line.size() + 2);
    if (!endsInEmptyParagraph)
        text.append(QLatin1Char('\n'));
    text.append(line);
    text.append(QLatin1Char('\n'));
    cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
}

void TStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    QTextDocument &document = *box_.document();
    const QTextBlock block = document.findBlockByNumber(index);
    QTextCursor cursor(&document);
    // Inside an edit block a cursor that moves does not lay out the line it lands on.
    // Laying out a line that is not shown costs time and, at times, a pass over every
    // line when QPlainTextEdit looks for the widest one again.
    cursor.beginEditBlock();
    if (block.next().isValid()) {
        cursor.setPosition(block.position());
        cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
    } else {
        // The last paragraph holds text and has no end of its own: take the end of the
        // one before it instead.
        cursor.setPosition(std::max(block.position() - 1, 0));
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
    cursor.endEditBlock();
}

QString TStrings::Text() const
{
    const QTextDocument &document = *box_.document();
    const QString raw = document.toRawText();
    const bool lastHasText = document.lastBlock().length() > 1;
    // One pass into a buffer of the final size: each block separator becomes CR LF.
    QString text(raw.size() + document.blockCount() + (lastHasText ? 2 : 0), Qt::Uninitialized);
    QChar *out = text.data();
    for (const QChar c : raw) {
        if (c == QChar::ParagraphSeparator) {
            *out++ = QLatin1Char('\r');
            *out++ = QLatin1Char('\n');
        } else {
            *out++ = c;
        }
    }
    if (lastHasText) {
        *out++ = QLatin1Char('\r');
        *out++ = QLatin1Char('\n');
    }
    text.truncate(out - text.constData());
    return text;
}

namespace {

QString tr(const char *text) { return QCoreApplication::translate("files", text); }

[[noreturn]] void failToOpen(const QString &fileName, const QString &reason)
{
    throw Exception(tr("Cannot open file %1: %2").arg(QuotedFileName(fileName), reason));
}

void requireForOpen(qint64 needed, const QString &fileName)
{
    const QString shortfall = memory::Shortfall(needed, tr("file"));
    if (!shortfall.isEmpty())
        failToOpen(fileName, shortfall);
}

}   // namespace

void TStrings::LoadFromFile(const QString &fileName)
{
    // Qt does not check every allocation of its text document: where memory runs out
    // there, the program crashes. So what a load needs is asked for first: about five
    // times the file to read and decode it, then what the box takes for its lines.
    constexpr qint64 readingPerByte = 5;
    try {
        requireForOpen(QFileInfo(fileName).size() * readingPerByte, fileName);
        // The file's bytes go before the box is filled, which is when memory peaks.
        const codec::RichDocument document = codec::readDocument(files::ReadAll(fileName));
        requireForOpen(box_.EstimatedBytes(document), fileName);
        try {
            box_.Document(document);
        } catch (const std::bad_alloc &) {
            // Half filled is no list: leave the box empty, as a load that found nothing.
            box_.Clear();
            throw;
        }
    } catch (const std::bad_alloc &) {
        failToOpen(fileName, tr("There is not enough memory to load the file"));
    }
}

void TStrings::SaveToFile(const QString &fileName) const
{
    QByteArray bytes;
    try {
        bytes = codec::writeRtf(box_.Document());
    } catch (const std::bad_alloc &) {
        throw Exception(tr("Cannot save file %1: %2")
                            .arg(QuotedFileName(fileName), tr("There is not enough memory to save the file")));
    }
    files::WriteAtomically(fileName, bytes);
}
