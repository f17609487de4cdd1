#pragma once

#include "vcl/TControl.h"

#include <QMainWindow>
#include <QTimer>

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };

// A window. Its layout comes from a Qt Designer file; what the file cannot hold
// (position on the screen, window state, whether hints show while the window is not
// active) is read from the window's dynamic properties "Left", "Top", "WindowState"
// and "ShowHint" when it is created.
class TForm : public QMainWindow, public TControl {
    Q_OBJECT
public:
    explicit TForm(QWidget *parent = nullptr);
    ~TForm() override;

    // Shows the window without waiting for it and brings it to the front.
    void Show();
    // Closing the main window ends the main loop; any other window is only hidden.
    void Close();

    QString Text() const override { return windowTitle(); }

    // Left, top, width and height of the window's frame on the screen.
    void SetBounds(int left, int top, int width, int height);
    void WindowState(TWindowState state) { windowState_ = state; }

    bool MainForm() const { return mainForm_; }
    void MainForm(bool isMain) { mainForm_ = isMain; }

    // Applies the design values that the layout file holds as dynamic properties, binds
    // each control's OnClick (the name of a handler slot of the form), then runs the
    // creation handler (bound to OnCreate).
    void DoCreate();

signals:
    void OnCreate();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void ApplyDesign();
    void BindClickHandlers();
    void RunHandler(const QByteArray &handler);
    // Sizes the window so that its frame has the design size, once the frame is known.
    void FitFrameToDesign();
    void FitFrameToDesignLater();

    TWindowState windowState_ = TWindowState::wsNormal;
    QRect designFrame_;
    bool mainForm_ = false;
    bool shownOnce_ = false;
    bool frameFitPending_ = false;
    QTimer frameFitTimer_;
};
