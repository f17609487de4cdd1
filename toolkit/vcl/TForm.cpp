#include "vcl/TForm.h"

#include "vcl/Accessibility.h"
#include "vcl/TApplication.h"

#include <QAbstractButton>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QVariant>

TForm::TForm(QWidget *parent)
    : QMainWindow(parent)
    , TControl(static_cast<QWidget &>(*this))
{
    // Moves and resizes come in bursts while a window manager frames, maximises or
    // restores a window, with the frame's size known only at the end of it.
    frameFitTimer_.setSingleShot(true);
    frameFitTimer_.setInterval(100);
    connect(&frameFitTimer_, &QTimer::timeout, this, &TForm::FitFrameToDesign);
}

TForm::~TForm() = default;

void TForm::Show()
{
    if (!shownOnce_ && windowState_ == TWindowState::wsMaximized)
        showMaximized();
    else if (!shownOnce_ && windowState_ == TWindowState::wsMinimized)
        showMinimized();
    else
        show();
    raise();
    activateWindow();
}

void TForm::Close() { close(); }

void TForm::SetBounds(int left, int top, int width, int height)
{
    designFrame_ = QRect(left, top, width, height);
    // For a window, move() places the frame; resize() sizes what lies inside it.
    move(left, top);
    const QSize frameMargins = frameGeometry().size() - geometry().size();
    resize(QSize(width, height) - frameMargins);
}

void TForm::DoCreate()
{
    ApplyDesign();
    BindClickHandlers();
    emit OnCreate();
}

void TForm::BindClickHandlers()
{
    const auto bind = [this](auto *control, auto clicked) {
        const QByteArray handler = control->property("OnClick").toString().toLatin1();
        if (!handler.isEmpty())
            connect(control, clicked, this, [this, handler] { RunHandler(handler); });
    };
    for (QAbstractButton *button : findChildren<QAbstractButton *>())
        bind(button, &QAbstractButton::clicked);
    for (QAction *action : findChildren<QAction *>())
        bind(action, &QAction::triggered);
}

void TForm::RunHandler(const QByteArray &handler)
{
    // A failure is reported here, before it could unwind through Qt's button and menu
    // code, which frees nothing on the way.
    try {
        const bool found = QMetaObject::invokeMethod(this, handler.constData());
        Q_ASSERT_X(found, "TForm", "an OnClick names no handler of the form");
    } catch (...) {
        Application->ReportCurrentException();
    }
}

void TForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (mainForm_)
        QCoreApplication::quit();
}

void TForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    frameFitPending_ = designFrame_.isValid();
    FitFrameToDesignLater();
}

// An X11 window manager frames the window only after it is shown, and tells the
// frame's size with the moves and resizes that follow; a maximised window gets its
// design size when it is first restored.
void TForm::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    FitFrameToDesignLater();
}

void TForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FitFrameToDesignLater();
}

void TForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        FitFrameToDesignLater();
}

void TForm::FitFrameToDesignLater()
{
    if (frameFitPending_)
        frameFitTimer_.start();
}

void TForm::FitFrameToDesign()
{
    if (!frameFitPending_ || !isVisible() || windowState() != Qt::WindowNoState)
        return;
    const QSize frameMargins = frameGeometry().size() - geometry().size();
    if (frameMargins.isNull())
        return;
    // Only once: a size the user gives the window later is kept. The frame keeps its
    // place, so left and top stay.
    frameFitPending_ = false;
    resize(designFrame_.size() - frameMargins);
}

void TForm::ApplyDesign()
{
    const QVariant left = property("Left");
    const QVariant top = property("Top");
    if (left.isValid() && top.isValid())
        SetBounds(left.toInt(), top.toInt(), width(), height());

    // X11 shows a window's tooltips only while it is active, unless told otherwise.
    if (property("ShowHint").toBool())
        setAttribute(Qt::WA_AlwaysShowToolTips);

    const QString state = property("WindowState").toString();
    if (state == QLatin1String("wsMaximized"))
        windowState_ = TWindowState::wsMaximized;
    else if (state == QLatin1String("wsMinimized"))
        windowState_ = TWindowState::wsMinimized;

    // A cursor set on the window is for its own surface: the controls keep their usual
    // cursors instead of inheriting it. Text fields set their I-beam themselves.
    if (testAttribute(Qt::WA_SetCursor)) {
        const auto widgets = findChildren<QWidget *>();
        for (QWidget *widget : widgets) {
            if (widget != centralWidget() && !widget->isWindow() && !widget->testAttribute(Qt::WA_SetCursor))
                widget->setCursor(Qt::ArrowCursor);
        }
    }
    accessibility::DescribeControls(*this);
}
