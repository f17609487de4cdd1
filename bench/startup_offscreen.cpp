// Starts the program as app/main.cpp does, in the current directory (its baza.txt),
// and prints the milliseconds from entering main to the end of the main window's
// first paint, and to the list being ready (its fill ended), with the longest turn
// of the event loop in between; then shows the list as the "show" button does and
// prints the peak resident memory.
//
//   startup_offscreen [--show-after MS]
// With --show-after, the list is shown MS milliseconds after the first paint, as a
// user quick to click would, and show_wait_ms is how long that click took.
#include "Keys.h"
#include "PhoneBookData.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "vcl/TApplication.h"
#include "vcl/TRichEdit.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

namespace key = keys::startup_offscreen;

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

// The longest time between two turns of the event loop while it runs.
class StallWatch : public QObject {
public:
    StallWatch()
    {
        ticks_.setInterval(0);
        QObject::connect(
            &ticks_, &QTimer::timeout, this, [this] { longest = std::max(longest, last_.restart()); });
        last_.start();
        ticks_.start();
    }
    qint64 longest = 0;

private:
    QTimer ticks_;
    QElapsedTimer last_;
};

double Milliseconds(qint64 nanoseconds) { return double(nanoseconds) / 1e6; }

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
    std::printf("%s %.1f\n", key::painted_ms, Milliseconds(firstPaint.nanoseconds));

    TRichEdit &box = *Form1->RichEdit1;
    const QStringList arguments = QCoreApplication::arguments();
    const int showAfter = arguments.indexOf(QStringLiteral("--show-after"));
    if (showAfter > 0 && showAfter + 1 < arguments.size()) {
        QTimer::singleShot(arguments.at(showAfter + 1).toInt(), &loop, [&] {
            QElapsedTimer click;
            click.start();
            Form1->Button2Click();
            std::printf("%s %.1f\n", key::show_wait_ms, Milliseconds(click.nsecsElapsed()));
            loop.quit();
        });
        loop.exec();
    } else {
        const StallWatch stalls;
        if (box.Filling()) {
            QObject::connect(&box, &TRichEdit::filled, &loop, &QEventLoop::quit);
            loop.exec();
        }
        std::printf("%s %.1f\n", key::ready_ms, Milliseconds(clock.nsecsElapsed()));
        std::printf("%s %.1f\n", key::longest_turn_ms, double(stalls.longest));
        clock.restart();
        Form1->Button2Click();
        QCoreApplication::processEvents();
        std::printf("%s %.1f\n", key::list_shown_ms, Milliseconds(clock.nsecsElapsed()));
    }
    if (!box.isVisible())
        qFatal("the list did not show");
    std::printf("%s %d\n", key::lines, box.Lines->Count());
    std::printf("%s %lld\n", key::peak_rss_bytes, benchdata::PeakResidentBytes());
    std::printf("%s %lld\n", key::rss_bytes, benchdata::ResidentBytes());
    return 0;
}
