#include "vcl/TRichEdit.h"

#include "richtext/BoxLimits.h"
#include "richtext/Bridge.h"
#include "richtext/Clipboard.h"
#include "richtext/MemoryEstimate.h"
#include "richtext/Paste.h"
#include "vcl/PrintProgress.h"

#include <QResizeEvent>
#include <QTextCursor>

namespace {

// What reaches the box itself and needs the whole list.
bool NeedsTheList(QEvent::Type type)
{
    return type == QEvent::FocusIn || type == QEvent::KeyPress || type == QEvent::ShortcutOverride
        || type == QEvent::InputMethod || type == QEvent::ContextMenu;
}

// What reaches the box's text area and needs the whole list.
bool TextAreaNeedsTheList(QEvent::Type type)
{
    return type == QEvent::Paint || type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
        || type == QEvent::Wheel || type == QEvent::DragEnter || type == QEvent::Drop;
}

}   // namespace

TRichEdit::TRichEdit(QWidget *parent)
    : QPlainTextEdit(parent)
    , TControl(static_cast<QWidget &>(*this))
    , Lines(&strings_)
    , strings_(*this)
    , fill_(*this, *document())
{
    // Tab moves on to the next control, as in every other field of a form, so that
    // the tab order holds; and a box that is hidden while it has the focus gives it up.
    setTabChangesFocus(true);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(&fill_, &richtext::FillInTurns::filled, this, &TRichEdit::takeFilled);
    connect(&fill_, &richtext::FillInTurns::abandoned, this, &TRichEdit::Clear);
}

TRichEdit::~TRichEdit() = default;

void TRichEdit::Clear()
{
    fill_.Stop();
    clear();
    mayHoldFormatting_ = false;
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void TRichEdit::allowBreaksAnywhereFor(QStringView text)
{
    // Qt looks for a word boundary from each line's start to the end of the word, so
    // a word of many lines costs the square of its length at every layout of it.
    if (wordWrapMode() != QTextOption::WrapAnywhere && richtext::NeedsBreaksAnywhere(text))
        setWordWrapMode(QTextOption::WrapAnywhere);
}

TPoint TRichEdit::CaretPos() const
{
    FinishFill();
    const QTextCursor cursor = textCursor();
    return { cursor.positionInBlock(), cursor.blockNumber() };
}

void TRichEdit::Print(const QString &title)
{
    FinishFill();
    PrintShowingProgress(*document(), title);
}

codec::RichDocument TRichEdit::Document() const
{
    FinishFill();
    return mayHoldFormatting_ ? richtext::ToRichDocument(*document())
                              : richtext::ToPlainRichDocument(*document());
}

void TRichEdit::Document(const codec::RichDocument &loaded)
{
    codec::RichDocument model = richtext::FitForBox(loaded);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    allowBreaksAnywhereFor(model.text);
    DeliverPendingResizes(*this);
    heavyEdits_.Forget();
    fill_.Start(std::move(model));
    // The caret at the start, so that the first paint lays out only the first page.
    setTextCursor(QTextCursor(document()));
}

void TRichEdit::takeFilled(bool formatted, bool inTurns)
{
    mayHoldFormatting_ = formatted;
    if (!inTurns)
        return;
    // Text appended where the caret stood took it along to the end.
    setTextCursor(QTextCursor(document()));
    emit filled();
}

qint64 TRichEdit::EstimatedBytes(const codec::RichDocument &document) const
{
    return richtext::EstimatedBytes(document, shownOnce_);
}

void TRichEdit::setVisible(bool visible)
{
    // Before it is shown: a shown box keeps a layout for every line it is given.
    if (visible)
        FinishFill();
    QPlainTextEdit::setVisible(visible);
}

bool TRichEdit::event(QEvent *event)
{
    if (NeedsTheList(event->type()))
        FinishFill();
    return QPlainTextEdit::event(event);
}

bool TRichEdit::viewportEvent(QEvent *event)
{
    if (TextAreaNeedsTheList(event->type()))
        FinishFill();
    return QPlainTextEdit::viewportEvent(event);
}

void TRichEdit::keyPressEvent(QKeyEvent *event)
{
    const bool heavy = heavyEdits_.Weighs(*event, textCursor(), isReadOnly());
    const richtext::BusyCursor busy(heavy);
    QPlainTextEdit::keyPressEvent(event);
    heavyEdits_.Done(heavy);
}

void TRichEdit::showEvent(QShowEvent *event)
{
    shownOnce_ = true;
    QPlainTextEdit::showEvent(event);
}

void TRichEdit::resizeEvent(QResizeEvent *event)
{
    QResizeEvent passed(event->size(), laidOutWidth_.OldSizeToPassOn(*event, viewport()->width()));
    QPlainTextEdit::resizeEvent(&passed);
    laidOutWidth_.Passed(passed, viewport()->width());
}

void TRichEdit::insertFromMimeData(const QMimeData *source)
{
    // Qt's own checks, which this override replaces: paste() reaches here in a box
    // the user may not edit too.
    if (!source || !(textInteractionFlags() & Qt::TextEditable))
        return;
    // The paste goes into the whole list, and the fill, which keeps no undo history,
    // would take the paste's undo step with it.
    FinishFill();
    QTextCursor cursor = textCursor();
    const bool formatted = richtext::Paste(
        *source, cursor, shownOnce_, [this](QStringView text) { allowBreaksAnywhereFor(text); });
    setTextCursor(cursor);
    mayHoldFormatting_ = mayHoldFormatting_ || formatted;
    ensureCursorVisible();
}

QMimeData *TRichEdit::createMimeDataFromSelection() const
{
    FinishFill();
    const QTextCursor cursor = textCursor();
    const richtext::BusyCursor busy(richtext::SpansManyLines(cursor));
    return new richtext::ListMimeData(mayHoldFormatting_ ? richtext::ToRichDocument(cursor)
                                                         : richtext::FromPlainText(cursor.selectedText()),
        richtext::ListFormatOptions(font()));
}
