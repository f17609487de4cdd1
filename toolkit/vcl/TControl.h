#pragma once

#include "vcl/Types.h"

#include <QString>
#include <QtGlobal>

class QWidget;

// The members that every control shares, mixed into each control class beside the
// Qt widget it is built on.
class TControl {
public:
    virtual ~TControl() = default;

    bool Visible() const;
    void Visible(bool visible);
    // Repaints at once rather than at the next turn of the event loop.
    void Refresh();
    virtual QString Text() const = 0;

protected:
    explicit TControl(QWidget &widget)
        : widget_(widget)
    {
    }

private:
    Q_DISABLE_COPY_MOVE(TControl)
    QWidget &widget_;
};
