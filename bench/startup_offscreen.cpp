// Starts the program as app/main.cpp does, in the current directory (its baza.txt),
// and prints the milliseconds from entering main to the end of the main window's
// first paint; then shows the list as the "show" button does and prints the peak
// resident memory.
#include "PhoneBookData.h"

#include "vcl/TApplication.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace {

class FirstPaint : public QObject {
public:
    FirstPaint(const QElapsedTimer &clock, QEventLoop &loop)
        : clock_(clock)
        , loop_(loop)
    {
    }
    qint64 nanoseconds = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && nanoseconds < 0) {
            nanoseconds = 0;
            // The children paint after the window in the same pass: stop the clock
            // once the whole pass is done.
            QTimer::singleShot(0, this, [this] {
                nanoseconds = clock_.nsecsElapsed();
                loop_.quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &clock_;
    QEventLoop &loop_;
};

}   // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    TApplication application(argc, argv);
    Application->Initialize();
    Application->Title(QStringLiteral("carte de telefon"));
    Application->CreateForm(Form1);
    Application->CreateForm(Form2);
    // As TApplication::Run, with a loop of its own: quitting the application's loop
    // would close the windows.
    QEventLoop loop;
    FirstPaint firstPaint(clock, loop);
    Form1->installEventFilter(&firstPaint);
    Application->MainForm()->Show();
    loop.exec();
    std::printf("painted_ms %.1f\n", double(firstPaint.nanoseconds) / 1e6);

    clock.restart();
    Form1->Button2Click();
    QCoreApplication::processEvents();
    if (!Form1->RichEdit1->isVisible())
        qFatal("the list did not show");
    std::printf("list_shown_ms %.1f\n", double(clock.nsecsElapsed()) / 1e6);
    std::printf("lines %d\n", Form1->RichEdit1->Lines->Count());
    std::printf("peak_rss_bytes %lld\n", benchdata::PeakResidentBytes());
    std::printf("rss_bytes %lld\n", benchdata::ResidentBytes());
    return 0;
}
