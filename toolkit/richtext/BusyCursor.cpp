#include "richtext/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace richtext {

BusyCursor::BusyCursor(bool shown)
{
    if (shown)
        show();
}

void BusyCursor::show()
{
    if (shown_)
        return;
    shown_ = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // Reach the screen before the work blocks the event loop.
    QGuiApplication::sync();
}

void BusyCursor::hide()
{
    if (shown_)
        QGuiApplication::restoreOverrideCursor();
    shown_ = false;
}

bool SpansManyLines(const QTextCursor &selection)
{
    const QTextDocument &text = *selection.document();
    return text.findBlock(selection.selectionEnd()).blockNumber()
        - text.findBlock(selection.selectionStart()).blockNumber()
        > manyLines;
}

bool HeavyEdits::Weighs(const QKeyEvent &event, const QTextCursor &cursor, bool readOnly) const
{
    if (event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo))
        return heavyOneDone_ || cursor.document()->blockCount() > manyLines;
    if (!cursor.hasSelection() || readOnly)
        return false;
    const bool edits = !event.text().isEmpty() || event.key() == Qt::Key_Delete
        || event.key() == Qt::Key_Backspace || event.matches(QKeySequence::Cut)
        || event.matches(QKeySequence::Paste);
    return edits && SpansManyLines(cursor);
}

}   // namespace richtext
