#pragma once

#include <QSize>

class QAbstractScrollArea;
class QResizeEvent;

// QPlainTextEdit lays out every line again whenever a resize event claims a new width,
// as the first one after a show always does: seconds at a million lines. This keeps the
// width the lines were laid out for, so that the box passes on only a new one.
class LaidOutWidth {
public:
    // The old size to tell QPlainTextEdit for `event`, the viewport being this wide:
    // the new width itself when the lines are laid out for it already.
    QSize OldSizeToPassOn(const QResizeEvent &event, int viewportWidth) const;
    // QPlainTextEdit has handled `passed`, the viewport now being this wide.
    void Passed(const QResizeEvent &passed, int viewportWidth);

private:
    int width_ = -1;   // -1: no lines laid out yet
};

// A box not shown yet learns its width only when first shown, and then lays out every
// line again: this lets it learn the width while it is still empty. The box's own
// resize places the viewport; the viewport's gives the text its width.
void DeliverPendingResizes(QAbstractScrollArea &box);
