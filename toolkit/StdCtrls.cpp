#include "StdCtrls.h"

TEdit::TEdit(QWidget *parent)
    : QLineEdit(parent)
    , TControl(static_cast<QWidget &>(*this))
{
}

TEdit::~TEdit() = default;

TButton::TButton(QWidget *parent)
    : QPushButton(parent)
    , TControl(static_cast<QWidget &>(*this))
{
}

TButton::~TButton() = default;

TPanel::TPanel(QWidget *parent)
    : QLabel(parent)
    , TControl(static_cast<QWidget &>(*this))
{
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    // A panel has the colour of buttons, not of the window it stands on.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    setAlignment(Qt::AlignCenter);
    // Where the design's font is missing its stand-in is wider: wrap rather than cut
    // the caption off at both ends.
    setWordWrap(true);
    setFocusPolicy(Qt::NoFocus);
}

TPanel::~TPanel() = default;
