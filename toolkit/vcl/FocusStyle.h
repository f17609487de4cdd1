#pragma once

#include <QProxyStyle>

// The platform's style with a focus mark that can be seen on any background: the
// control that has the keyboard focus gets a ring two pixels wide inside its own
// border. Nothing else is drawn differently; no size changes.
class FocusStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit FocusStyle(QStyle *base = nullptr);
    ~FocusStyle() override;

    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
        const QWidget *widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;
    void polish(QWidget *widget) override;
    void unpolish(QWidget *widget) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
