#include "TRichEdit.h"

#include "DocumentFile.h"
#include "Printing.h"
#include "RichTextBridge.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

TRichEdit::TRichEdit(QWidget *parent)
    : QPlainTextEdit(parent)
    , TControl(static_cast<QWidget &>(*this))
    , lines_(std::make_unique<TStrings>(*this))
    , Lines(lines_.get())
{
    // Tab moves on to the next control, as in every other field of a form, so that
    // the tab order holds; and a box that is hidden while it has the focus gives it up.
    setTabChangesFocus(true);
}

TRichEdit::~TRichEdit() = default;

void TRichEdit::Clear()
{
    clear();
    mayHoldFormatting_ = false;
}

TPoint TRichEdit::CaretPos() const
{
    const QTextCursor cursor = textCursor();
    return {cursor.positionInBlock(), cursor.blockNumber()};
}

void TRichEdit::Print(const QString &title)
{
    printing::Print(*document(), title);
}

codec::RichDocument TRichEdit::Document() const
{
    return mayHoldFormatting_ ? bridge::toRichDocument(*document())
                              : bridge::toPlainRichDocument(*document());
}

void TRichEdit::Document(const codec::RichDocument &model)
{
    // setPlainText fills the whole document in one go, with the undo history off, and
    // leaves the caret at the start so that the first paint lays out only the first page.
    setPlainText(model.text);
    bridge::applyFormats(*document(), model);
    mayHoldFormatting_ = !model.runs.empty();
    document()->clearUndoRedoStacks();
}

void TRichEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasHtml()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // Keep the pasted text's character formats; pictures, bullets and table borders
    // have no place in a list of lines and are dropped.
    QTextDocument pasted;
    pasted.setHtml(source->html());
    const codec::RichDocument model = bridge::toRichDocument(pasted);
    QTextCursor cursor = textCursor();
    bridge::insert(cursor, model);
    setTextCursor(cursor);
    mayHoldFormatting_ = mayHoldFormatting_ || !model.runs.empty();
    ensureCursorVisible();
}
