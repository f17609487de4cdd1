#include "vcl/TRichEdit.h"

#include "richtext/BoxLimits.h"
#include "richtext/Bridge.h"
#include "richtext/Clipboard.h"
#include "richtext/DocumentFiles.h"
#include "richtext/MemoryEstimate.h"
#include "system/Exception.h"
#include "system/Memory.h"
#include "vcl/PrintProgress.h"
#include "vcl/Texts.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <limits>
#include <new>
#include <optional>

namespace {

// Lines past which an edit or its undo takes Qt long enough (up to seconds at a
// million lines) to show the user that the program is busy.
constexpr int manyLines = 10'000;

// Characters past which a document given to a hidden box is filled in turns.
constexpr qsizetype charactersPerStep = 32 * 1024;

class BusyCursor {
public:
    explicit BusyCursor(bool busy)
    {
        if (busy)
            show();
    }
    ~BusyCursor() { hide(); }
    Q_DISABLE_COPY_MOVE(BusyCursor)

    void show()
    {
        if (busy_)
            return;
        busy_ = true;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        // Reach the screen before the work blocks the event loop.
        QGuiApplication::sync();
    }
    void hide()
    {
        if (busy_)
            QGuiApplication::restoreOverrideCursor();
        busy_ = false;
    }

private:
    bool busy_ = false;
};

}   // namespace

TRichEdit::TRichEdit(QWidget *parent)
    : QPlainTextEdit(parent)
    , TControl(static_cast<QWidget &>(*this))
    , lines_(std::make_unique<TStrings>(*this))
    , Lines(lines_.get())
{
    // Tab moves on to the next control, as in every other field of a form, so that
    // the tab order holds; and a box that is hidden while it has the focus gives it up.
    setTabChangesFocus(true);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    fillTurns_.setInterval(0);
    connect(&fillTurns_, &QTimer::timeout, this, &TRichEdit::fillSome);
}

TRichEdit::~TRichEdit() { endFill(); }

void TRichEdit::Clear()
{
    endFill();
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
    // A box not shown yet learns its width only when first shown, and then lays out
    // every line again; let it learn the width while it is still empty. The box's own
    // resize places the viewport; the viewport's gives the text its width.
    for (QWidget *widget : { static_cast<QWidget *>(this), viewport() }) {
        if (widget->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent pending(widget->size(), QSize());
            QCoreApplication::sendEvent(widget, &pending);
        }
    }
    endFill();
    heavyEditDone_ = false;
    auto filler = std::make_unique<richtext::Filler>(*document(), std::move(model));
    if (isVisible() || filler->Remaining() <= charactersPerStep) {
        filler->Step(filler->Remaining());
        mayHoldFormatting_ = filler->HoldsFormatting();
        document()->setModified(false);
    } else {
        filler_ = std::move(filler);
        QGuiApplication::setOverrideCursor(Qt::BusyCursor);
        windowPainted_ = false;
        window()->installEventFilter(this);
        // A window already on screen paints once more, which lets the fill begin.
        window()->update();
        fillTurns_.start();
    }
    // The caret at the start, so that the first paint lays out only the first page.
    setTextCursor(QTextCursor(document()));
}

qint64 TRichEdit::EstimatedBytes(const codec::RichDocument &document) const
{
    return richtext::EstimatedBytes(document, shownOnce_);
}

void TRichEdit::fillSome()
{
    // About a frame's time at a turn, so that the window keeps answering.
    constexpr qint64 turnNanoseconds = 25'000'000;
    // The window's first paint comes first: it is what the fill makes way for.
    const bool awaitsPaint = window()->isVisible() && !windowPainted_;
    fillTurns_.setInterval(awaitsPaint ? 5 : 0);
    if (!awaitsPaint)
        fillFor(turnNanoseconds);
}

void TRichEdit::fillFor(qint64 nanoseconds)
{
    constexpr qsizetype charactersPerPart = 8 * 1024;
    if (!filler_ || stepping_)
        return;
    {
        const QScopedValueRollback<bool> stepping(stepping_, true);
        QElapsedTimer turn;
        turn.start();
        try {
            do
                filler_->Step(charactersPerPart);
            while (!filler_->Done() && turn.nsecsElapsed() < nanoseconds);
        } catch (const std::bad_alloc &) {
            // Half filled is no list: leave the box empty, as a load that found nothing.
            Clear();
            throw Exception(VclTexts::tr("Cannot show the list: there is not enough memory for the text."));
        }
        if (!filler_->Done())
            return;
        mayHoldFormatting_ = filler_->HoldsFormatting();
        document()->setModified(false);
        endFill();
        // Text appended where the caret stood took it along to the end.
        setTextCursor(QTextCursor(document()));
    }
    emit filled();
}

void TRichEdit::endFill()
{
    if (!filler_)
        return;
    window()->removeEventFilter(this);
    fillTurns_.stop();
    filler_.reset();
    QGuiApplication::restoreOverrideCursor();
}

void TRichEdit::finishFill()
{
    if (!filler_ || stepping_)
        return;
    // The rest in one go: the caller needs the whole list now. Showing the busy cursor
    // lets Qt deliver events; none of them may start the rest from within.
    std::optional<BusyCursor> busy;
    {
        const QScopedValueRollback<bool> stepping(stepping_, true);
        busy.emplace(filler_->Remaining() > charactersPerStep);
    }
    fillFor(std::numeric_limits<qint64>::max());
}

void TRichEdit::FinishFill() const { const_cast<TRichEdit *>(this)->finishFill(); }

void TRichEdit::setVisible(bool visible)
{
    // Before it is shown: a shown box keeps a layout for every line it is given.
    if (visible)
        finishFill();
    QPlainTextEdit::setVisible(visible);
}

bool TRichEdit::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
        finishFill();
        break;
    default:
        break;
    }
    return QPlainTextEdit::event(event);
}

bool TRichEdit::eventFilter(QObject *watched, QEvent *event)
{
    // The whole window paints in one pass: once its own paint has begun, the next turn
    // of the event loop comes after the window is on screen.
    if (watched == window() && event->type() == QEvent::Paint)
        windowPainted_ = true;
    return QPlainTextEdit::eventFilter(watched, event);
}

bool TRichEdit::viewportEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Paint:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::Drop:
        finishFill();
        break;
    default:
        break;
    }
    return QPlainTextEdit::viewportEvent(event);
}

bool TRichEdit::isHeavyEdit(const QKeyEvent &event) const
{
    if (event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo))
        return heavyEditDone_ || document()->blockCount() > manyLines;
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection() || isReadOnly())
        return false;
    const bool edits = !event.text().isEmpty() || event.key() == Qt::Key_Delete
        || event.key() == Qt::Key_Backspace || event.matches(QKeySequence::Cut)
        || event.matches(QKeySequence::Paste);
    if (!edits)
        return false;
    const QTextDocument &text = *document();
    return text.findBlock(cursor.selectionEnd()).blockNumber()
        - text.findBlock(cursor.selectionStart()).blockNumber()
        > manyLines;
}

void TRichEdit::keyPressEvent(QKeyEvent *event)
{
    const bool heavy = isHeavyEdit(*event);
    const BusyCursor busy(heavy);
    QPlainTextEdit::keyPressEvent(event);
    heavyEditDone_ = heavyEditDone_ || heavy;
}

void TRichEdit::showEvent(QShowEvent *event)
{
    shownOnce_ = true;
    QPlainTextEdit::showEvent(event);
}

void TRichEdit::resizeEvent(QResizeEvent *event)
{
    // QPlainTextEdit lays out every line again whenever a resize event claims a new
    // width, as the first one after a show always does: seconds at a million lines.
    // Pass on only widths that differ from the one the lines were laid out for.
    const bool claimsNewWidth = event->oldSize().width() != event->size().width();
    if (claimsNewWidth && viewport()->width() == laidOutWidth_) {
        QResizeEvent sameWidth(event->size(), QSize(event->size().width(), event->oldSize().height()));
        QPlainTextEdit::resizeEvent(&sameWidth);
        return;
    }
    QPlainTextEdit::resizeEvent(event);
    if (claimsNewWidth)
        laidOutWidth_ = viewport()->width();
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
    try {
        pasteFrom(*source);
    } catch (const std::bad_alloc &) {
        throw Exception(VclTexts::tr("Cannot paste: there is not enough memory for the text."));
    }
}

QMimeData *TRichEdit::createMimeDataFromSelection() const
{
    FinishFill();
    const QTextCursor cursor = textCursor();
    const QTextDocument &text = *document();
    const BusyCursor busy(text.findBlock(cursor.selectionEnd()).blockNumber()
            - text.findBlock(cursor.selectionStart()).blockNumber()
        > manyLines);
    return new richtext::ListMimeData(mayHoldFormatting_ ? richtext::ToRichDocument(cursor)
                                                         : richtext::FromPlainText(cursor.selectedText()),
        richtext::ListFormatOptions(font()));
}

void TRichEdit::pasteFrom(const QMimeData &source)
{
    // Characters past which a paste takes long enough to show the busy cursor.
    constexpr qsizetype manyCharacters = 256 * 1024;
    // Another program's data comes only when asked for, and a large one takes a while
    // to come: the busy cursor shows from the start, and goes if the data is small.
    BusyCursor busy(richtext::IsFetchedOnDemand(source));
    const auto busyFor = [&busy](qsizetype characters) {
        if (characters > manyCharacters)
            busy.show();
        else
            busy.hide();
    };
    // As for a load: Qt's document does not survive running out of memory.
    const auto require = [](qint64 bytes) {
        if (const std::optional<memory::Shortage> shortage = memory::Shortfall(bytes)) {
            throw Exception(
                VclTexts::tr("Cannot paste: the text needs about %1 MB of memory; %2 MB are available.")
                    .arg(shortage->neededMegabytes)
                    .arg(shortage->availableMegabytes));
        }
    };
    codec::RichDocument model;
    QTextCharFormat plainFormat;
    if (const auto *own = dynamic_cast<const richtext::ListMimeData *>(&source)) {
        busyFor(own->Model().text.size());
        model = richtext::FitForBox(own->Model(), document());
    } else if (source.hasFormat(richtext::listMimeType)) {
        // From another run of this program.
        const QByteArray list = source.data(richtext::listMimeType);
        busyFor(list.size());
        require(list.size() * richtext::readingBytesPerByte);
        model = richtext::FitForBox(richtext::Decode(list), document());
    } else if (source.hasHtml()) {
        QString html = source.html();
        busyFor(html.size());
        model = richtext::FromHtml(std::move(html), document());
    } else {
        QString text = source.text();
        busyFor(text.size());
        model = richtext::FromPlainText(std::move(text));
        // As typed text, plain text takes the format at the caret; a stand-in's mark
        // would turn the pasted text's own U+FFFD into the character it stands for.
        plainFormat = textCursor().charFormat();
        plainFormat.clearProperty(richtext::standsForProperty);
    }
    require(EstimatedBytes(model));
    allowBreaksAnywhereFor(model.text);
    QTextCursor cursor = textCursor();
    const bool formatted = richtext::Insert(cursor, model, plainFormat);
    setTextCursor(cursor);
    mayHoldFormatting_ = mayHoldFormatting_ || formatted || !plainFormat.properties().isEmpty();
    ensureCursorVisible();
}
