#include "vcl/TStrings.h"

#include "richtext/DocumentFiles.h"
#include "system/Exception.h"
#include "vcl/TRichEdit.h"
#include "vcl/Texts.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

TStrings::TStrings(TRichEdit &box)
    : box_(box)
{
}

int TStrings::Count() const
{
    box_.FinishFill();
    const QTextDocument &document = *box_.document();
    const bool endsInEmptyParagraph = document.lastBlock().length() == 1;
    return document.blockCount() - (endsInEmptyParagraph ? 1 : 0);
}

void TStrings::RequireLine(int index) const
{
    if (index < 0 || index >= Count()) {
        throw Exception(VclTexts::tr("List index out of bounds (%1)").arg(index));
    }
}

QString TStrings::Strings(int index) const
{
    RequireLine(index);
    return box_.document()->findBlockByNumber(index).text();
}

void TStrings::Add(const QString &line)
{
    box_.FinishFill();
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
    RequireLine(index);
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
    box_.FinishFill();
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

void TStrings::LoadFromFile(const QString &fileName)
{
    richtext::LoadTarget box;
    box.estimatedBytes
        = [this](const codec::RichDocument &document) { return box_.EstimatedBytes(document); };
    box.fill = [this](const codec::RichDocument &document) { box_.Document(document); };
    richtext::Load(fileName, box);
}

void TStrings::SaveToFile(const QString &fileName, const codec::RtfWriterOptions &options) const
{
    richtext::Save(fileName, box_.Document(), options);
}
