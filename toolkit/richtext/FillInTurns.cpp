#include "richtext/FillInTurns.h"

#include "richtext/Bridge.h"
#include "richtext/BusyCursor.h"
#include "richtext/Texts.h"
#include "system/Exception.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QTextDocument>
#include <QWidget>

#include <limits>
#include <new>
#include <optional>

namespace richtext {

namespace {

// Characters past which a model given to a hidden box is filled in turns.
constexpr qsizetype charactersPerTurnedFill = 32 * 1024;
// Characters filled in at a time, between looks at the clock.
constexpr qsizetype charactersPerPart = 8 * 1024;
// About a frame's time at a turn, so that the window keeps answering.
constexpr qint64 turnNanoseconds = 25'000'000;

}   // namespace

FillInTurns::FillInTurns(QWidget &box, QTextDocument &document)
    : box_(box)
    , document_(document)
{
    turns_.setInterval(0);
    connect(&turns_, &QTimer::timeout, this, &FillInTurns::takeTurn);
}

FillInTurns::~FillInTurns() { Stop(); }

void FillInTurns::Start(codec::RichDocument model)
{
    Stop();
    filler_ = std::make_unique<Filler>(document_, std::move(model));
    if (box_.isVisible() || filler_->Remaining() <= charactersPerTurnedFill) {
        {
            const QScopedValueRollback<bool> filling(fillingParts_, true);
            fillPart(filler_->Remaining());
        }
        finish();
        return;
    }
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    windowPainted_ = false;
    window_ = box_.window();
    window_->installEventFilter(this);
    // A window already on screen paints once more, which lets the fill begin.
    box_.window()->update();
    turns_.start();
}

void FillInTurns::MakeWhole()
{
    if (!filler_ || fillingParts_)
        return;
    // The rest in one go: the caller needs the whole list now. Showing the busy cursor
    // lets Qt deliver events; none of them may start the rest from within.
    std::optional<BusyCursor> busy;
    {
        const QScopedValueRollback<bool> filling(fillingParts_, true);
        busy.emplace(filler_->Remaining() > charactersPerTurnedFill);
    }
    fillFor(std::numeric_limits<qint64>::max());
}

void FillInTurns::Stop()
{
    if (!filler_)
        return;
    const bool inTurns = Filling();
    turns_.stop();
    filler_.reset();
    if (!inTurns)
        return;
    if (window_)
        window_->removeEventFilter(this);
    QGuiApplication::restoreOverrideCursor();
}

bool FillInTurns::eventFilter(QObject *watched, QEvent *event)
{
    // The whole window paints in one pass: once its own paint has begun, the next turn
    // of the event loop comes after the window is on screen.
    if (watched == window_ && event->type() == QEvent::Paint)
        windowPainted_ = true;
    return QObject::eventFilter(watched, event);
}

void FillInTurns::takeTurn()
{
    // The window's first paint comes first: it is what the fill makes way for.
    const bool awaitsPaint = box_.window()->isVisible() && !windowPainted_;
    turns_.setInterval(awaitsPaint ? 5 : 0);
    if (!awaitsPaint)
        fillFor(turnNanoseconds);
}

void FillInTurns::fillFor(qint64 nanoseconds)
{
    if (!filler_ || fillingParts_)
        return;
    {
        const QScopedValueRollback<bool> filling(fillingParts_, true);
        QElapsedTimer turn;
        turn.start();
        do
            fillPart(charactersPerPart);
        while (!filler_->Done() && turn.nsecsElapsed() < nanoseconds);
    }
    if (filler_->Done())
        finish();
}

void FillInTurns::fillPart(qsizetype characters)
{
    const bool inTurns = Filling();
    try {
        filler_->Step(characters);
    } catch (const std::bad_alloc &) {
        // Half filled is no list: the box is left empty, as by a load that found nothing.
        Stop();
        emit abandoned();
        // A fill at once is part of a load, which reports it with the file's name.
        if (!inTurns)
            throw;
        throw Exception(RichTextTexts::tr("Cannot show the list: there is not enough memory for the text."));
    }
}

void FillInTurns::finish()
{
    const bool formatted = filler_->HoldsFormatting();
    const bool inTurns = Filling();
    Stop();
    document_.setModified(false);
    emit filled(formatted, inTurns);
}

}   // namespace richtext
