#include "TStrings.h"

#include "DocumentFile.h"
#include "Exception.h"
#include "Files.h"
#include "RtfWriter.h"
#include "TRichEdit.h"

#include <QCoreApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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
    cursor.movePosition(QTextCursor::End);
    const bool endsInEmptyParagraph = document.lastBlock().length() == 1;
    QString text;
    text.reserve(line.size() + 2);
    if (!endsInEmptyParagraph)
        text.append(QLatin1Char('\n'));
    text.append(line);
    text.append(QLatin1Char('\n'));
    cursor.insertText(text, QTextCharFormat());
}

void TStrings::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    QTextDocument &document = *box_.document();
    const QTextBlock block = document.findBlockByNumber(index);
    QTextCursor cursor(&document);
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
}

QString TStrings::Text() const
{
    const QTextDocument &document = *box_.document();
    const QString raw = document.toRawText();
    const bool lastHasText = document.lastBlock().length() > 1;
    QString text;
    text.reserve(raw.size() + document.blockCount() + 2);
    qsizetype done = 0;
    for (qsizetype i = raw.indexOf(QChar::ParagraphSeparator); i >= 0;
         i = raw.indexOf(QChar::ParagraphSeparator, done)) {
        text.append(QStringView(raw).mid(done, i - done));
        text.append(QLatin1String("\r\n"));
        done = i + 1;
    }
    text.append(QStringView(raw).mid(done));
    if (lastHasText)
        text.append(QLatin1String("\r\n"));
    return text;
}

void TStrings::LoadFromFile(const QString &fileName)
{
    const QByteArray bytes = files::ReadAll(fileName);
    box_.Document(codec::readDocument(bytes));
}

void TStrings::SaveToFile(const QString &fileName) const
{
    files::WriteAtomically(fileName, codec::writeRtf(box_.Document()));
}
