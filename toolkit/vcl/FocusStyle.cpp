#include "vcl/FocusStyle.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QStyleOption>
#include <QWidget>

namespace {

constexpr int ringWidth = 2;

// Dark enough to stand out against white fields and grey buttons alike, and in the
// colour family the platform uses for the selection.
QColor RingColour(const QPalette &palette)
{
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    return highlight.lightness() > 90 ? highlight.darker(160) : highlight;
}

void DrawRing(const QStyleOption &option, QPainter &painter, int inset)
{
    if (!option.state.testFlag(QStyle::State_HasFocus))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(RingColour(option.palette));
    const QRect outer = option.rect.adjusted(inset, inset, -inset, -inset);
    const QRect inner = outer.adjusted(ringWidth, ringWidth, -ringWidth, -ringWidth);
    painter.setClipRegion(QRegion(outer).subtracted(QRegion(inner)));
    painter.drawRect(outer);
    painter.restore();
}

}   // namespace

FocusStyle::FocusStyle(QStyle *base)
    : QProxyStyle(base)
{
}

FocusStyle::~FocusStyle() = default;

void FocusStyle::drawControl(
    ControlElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    // Buttons draw the ring inside their bevel; the frame of a text box is its border.
    if (element == CE_PushButton)
        DrawRing(*option, *painter, ringWidth);
    else if (element == CE_ShapedFrame && widget != nullptr && widget->focusPolicy() != Qt::NoFocus)
        DrawRing(*option, *painter, 0);
}

void FocusStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element == PE_FrameLineEdit)
        DrawRing(*option, *painter, 0);
}

int FocusStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    // The text box's border is as wide as the ring, which its text area would cover
    // otherwise; the old toolkit's text boxes had a border of two pixels too.
    if (metric == PM_DefaultFrameWidth && qobject_cast<const QAbstractScrollArea *>(widget) != nullptr)
        return ringWidth;
    return QProxyStyle::pixelMetric(metric, option, widget);
}

void FocusStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    // A text box's frame is not repainted when the focus comes or goes.
    if (qobject_cast<QAbstractScrollArea *>(widget) != nullptr)
        widget->installEventFilter(this);
}

void FocusStyle::unpolish(QWidget *widget)
{
    widget->removeEventFilter(this);
    QProxyStyle::unpolish(widget);
}

bool FocusStyle::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
        static_cast<QWidget *>(watched)->update();
    return QProxyStyle::eventFilter(watched, event);
}
