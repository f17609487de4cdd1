#include "vcl/StdCtrls.h"

#include <QKeyEvent>

#include <limits>

TEdit::TEdit(QWidget *parent)
    : QLineEdit(parent)
    , TControl(static_cast<QWidget &>(*this))
{
    // Qt cuts a field at 32,767 characters without a word; what is typed or pasted
    // goes into the list whole, so the field keeps it whole too.
    setMaxLength(std::numeric_limits<int>::max());
}

TEdit::~TEdit() = default;

TButton::TButton(QWidget *parent)
    : QPushButton(parent)
    , TControl(static_cast<QWidget &>(*this))
{
}

TButton::~TButton() = default;

void TButton::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the focused button, as Space does: the habit of the system the
    // old forms ran on. A held key presses it once.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || (event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QPushButton::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())
        click();
}

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
