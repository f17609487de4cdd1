#include "vcl/TControl.h"

#include <QWidget>

bool TControl::Visible() const
{
    // The control's own flag: a control inside a window not shown yet is still "visible".
    return !widget_.isHidden();
}

void TControl::Visible(bool visible)
{
    widget_.setVisible(visible);
}

void TControl::Refresh()
{
    widget_.repaint();
}
