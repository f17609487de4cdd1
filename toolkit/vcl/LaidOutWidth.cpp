#include "vcl/LaidOutWidth.h"

#include <QAbstractScrollArea>
#include <QCoreApplication>
#include <QResizeEvent>

namespace {

bool ClaimsNewWidth(const QResizeEvent &event) { return event.oldSize().width() != event.size().width(); }

}   // namespace

QSize LaidOutWidth::OldSizeToPassOn(const QResizeEvent &event, int viewportWidth) const
{
    if (ClaimsNewWidth(event) && viewportWidth == width_)
        return { event.size().width(), event.oldSize().height() };
    return event.oldSize();
}

void LaidOutWidth::Passed(const QResizeEvent &passed, int viewportWidth)
{
    if (ClaimsNewWidth(passed))
        width_ = viewportWidth;
}

void DeliverPendingResizes(QAbstractScrollArea &box)
{
    for (QWidget *widget : { static_cast<QWidget *>(&box), box.viewport() }) {
        if (widget->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent pending(widget->size(), QSize());
            QCoreApplication::sendEvent(widget, &pending);
        }
    }
}
