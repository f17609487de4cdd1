#pragma once

#include "codec/RichDocument.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QTextDocument;
class QWidget;

namespace richtext {

class Filler;

// Puts a model into a box's document. A long model given to a box that is not shown is
// filled in the turns of the event loop, about a frame's time each, under the busy
// cursor and after the window's first paint, so that the window appears first. What
// needs the list calls MakeWhole first: nothing sees half a list.
class FillInTurns : public QObject {
    Q_OBJECT
public:
    FillInTurns(QWidget &box, QTextDocument &document);
    ~FillInTurns() override;
    Q_DISABLE_COPY_MOVE(FillInTurns)

    // Replaces the document's content by the model's, ending a fill under way.
    void Start(codec::RichDocument model);
    // Makes sure the list is whole: the rest of a fill in turns, in one go.
    void MakeWhole();
    // Ends a fill in turns where it stands.
    void Stop();
    // Whether a fill in turns is under way.
    bool Filling() const { return turns_.isActive(); }

signals:
    // The document holds the whole model, filled at once within Start() or at the end
    // of a fill in turns; `formatted`: it holds formats or characters in stand-ins, so
    // that it cannot be read back as plain text.
    void filled(bool formatted, bool inTurns);
    // Memory ran out during the fill: the document holds part of the list only.
    void abandoned();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void takeTurn();
    // Fills parts until the model is in or `nanoseconds` have passed.
    void fillFor(qint64 nanoseconds);
    void fillPart(qsizetype characters);
    void finish();

    QWidget &box_;
    QTextDocument &document_;
    std::unique_ptr<Filler> filler_;
    QTimer turns_;
    // The box's window, whose first paint the fill in turns waits for.
    QPointer<QObject> window_;
    bool windowPainted_ = false;
    // Set while parts are being filled in: Qt's own notifications meanwhile must not
    // start filling from within.
    bool fillingParts_ = false;
};

}   // namespace richtext
