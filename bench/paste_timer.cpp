// Times a paste of many entries into the list against loading the same entries from
// baza.txt, each into a fresh box of the main window's list, shown and painted. The
// paste is Ctrl+V into an empty box on screen, the clipboard holding the entries as
// plain text, as HTML (as Qt's text boxes copy them), both, or what Ctrl+A and Ctrl+C
// in a loaded box put there; then Ctrl+Z and Ctrl+Shift+Z are timed too. Prints one
// line a figure, wall and processor milliseconds. With --from-another-program (under
// an X server only) a second process of this program owns the clipboard.
//
//   paste_timer [--source plain|html|both|copy] [--runs N] [--no-load] [--from-another-program] [LINES]
// (default plain, 3 runs, 1000000 lines); --no-load leaves the load out, for a profiler.
#include "BoxFixture.h"
#include "Keys.h"
#include "PhoneBookData.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

namespace key = keys::paste_timer;

// Wall and processor time of one step: the machine is shared, and the processor time
// of this process (all its threads) is the fairer figure there.
class Clock {
public:
    Clock() { restart(); }
    void restart()
    {
        wall_.start();
        cpu_ = cpuNanoseconds();
    }
    // Prints "KEY WALL cpu CPU" and restarts.
    void print(const char *key)
    {
        const qint64 cpu = cpuNanoseconds();
        std::printf("%s %.1f cpu %.1f\n", key, double(wall_.nsecsElapsed()) / 1e6, double(cpu - cpu_) / 1e6);
        std::fflush(stdout);
        restart();
    }

private:
    static qint64 cpuNanoseconds()
    {
        timespec now {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
    }
    QElapsedTimer wall_;
    qint64 cpu_ = 0;
};

void type(QWidget *target, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(target, &release);
}

// As the list in the main window: its size, no scroll bars.
std::unique_ptr<TRichEdit> listBox()
{
    auto box = std::make_unique<TRichEdit>();
    box->resize(281, 353);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return box;
}

void fillClipboard(const QString &source, const QStringList &entries, const QString &fileName)
{
    if (source == QLatin1String("copy")) {
        // Copied in the program itself: all of a loaded list, Ctrl+A and Ctrl+C.
        const std::unique_ptr<TRichEdit> copied = benchdata::NewHiddenBox(fileName);
        copied->show();
        copied->setFocus();
        benchdata::Settle(*copied);
        Clock clock;
        type(copied.get(), Qt::Key_A, Qt::ControlModifier);
        type(copied.get(), Qt::Key_C, Qt::ControlModifier);
        benchdata::Settle(*copied);
        clock.print(key::copy_ms);
        return;
    }
    auto *mime = new QMimeData;
    if (source != QLatin1String("html"))
        mime->setText(entries.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    if (source != QLatin1String("plain")) {
        // What the box gives the clipboard when all of it is copied.
        const std::unique_ptr<TRichEdit> copied = benchdata::NewHiddenBox(fileName);
        QTextCursor all(copied->document());
        all.select(QTextCursor::Document);
        mime->setHtml(QTextDocumentFragment(all).toHtml());
        std::printf("%s %lld\n", key::html_characters, qint64(mime->html().size()));
    }
    QApplication::clipboard()->setMimeData(mime);
}

}   // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    QString source = QStringLiteral("plain");
    int runs = 3;
    int lines = 1'000'000;
    bool load = true;
    bool fromAnotherProgram = false;
    bool serve = false;
    const QStringList given = arguments;
    while (!arguments.isEmpty()) {
        const QString argument = arguments.takeFirst();
        if (argument == QLatin1String("--source") && !arguments.isEmpty())
            source = arguments.takeFirst();
        else if (argument == QLatin1String("--no-load"))
            load = false;
        else if (argument == QLatin1String("--from-another-program"))
            fromAnotherProgram = true;
        else if (argument == QLatin1String("--serve"))
            serve = true;
        else if (argument == QLatin1String("--runs") && !arguments.isEmpty())
            runs = arguments.takeFirst().toInt();
        else
            lines = argument.toInt();
    }
    if (lines <= 0 || runs <= 0
        || !QStringList { QStringLiteral("plain"), QStringLiteral("html"), QStringLiteral("both"),
            QStringLiteral("copy") }
                .contains(source))
        qFatal("usage: paste_timer [--source plain|html|both|copy] [--runs N] [--no-load] "
               "[--from-another-program] [LINES]");
    if (fromAnotherProgram && QGuiApplication::platformName() != QLatin1String("xcb"))
        qFatal("--from-another-program needs an X server: only there is the clipboard shared");

    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("baza.txt"));
    const QStringList entries = benchdata::Entries(lines);
    {
        const QByteArray bytes = benchdata::PlainFile(entries);
        benchdata::WriteFile(fileName, bytes);
        if (!serve) {
            std::printf("%s %d\n%s %lld\n%s %s\n", key::lines, lines, key::file_bytes, qint64(bytes.size()),
                key::source, qPrintable(source));
        }
    }
    QProcess owner;
    if (serve) {
        fillClipboard(source, entries, fileName);
        std::printf("serving\n");
        std::fflush(stdout);
        return application.exec();
    } else if (fromAnotherProgram) {
        // The clipboard is another process's, as a text editor's would be: each paste
        // fetches the data through the X server.
        owner.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        owner.start(QCoreApplication::applicationFilePath(),
            QStringList(given).replaceInStrings(
                QStringLiteral("--from-another-program"), QStringLiteral("--serve")));
        QByteArray said;
        while (!said.contains("serving\n") && owner.waitForReadyRead(600'000))
            said += owner.readAllStandardOutput();
        if (!said.contains("serving\n"))
            qFatal("the program that owns the clipboard did not start");
        std::printf("%s%s\n", said.replace("serving\n", "").constData(), key::from_another_program);
        while (QApplication::clipboard()->mimeData()->formats().isEmpty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    } else {
        fillClipboard(source, entries, fileName);
    }
    std::fflush(stdout);

    for (int run = 0; run < runs; ++run) {
        Clock clock;
        if (load) {
            // Loading at start: read, decode, fill, then the list shown.
            clock.restart();
            const std::unique_ptr<TRichEdit> box = benchdata::NewHiddenBox(fileName);
            box->show();
            benchdata::Settle(*box);
            clock.print(key::load_ms);
        }
        const std::unique_ptr<TRichEdit> box = listBox();
        box->show();
        box->setFocus();
        benchdata::Settle(*box);
        clock.restart();
        type(box.get(), Qt::Key_V, Qt::ControlModifier);
        benchdata::Settle(*box);
        clock.print(key::paste_ms);
        if (box->Lines->Count() != lines)
            qFatal("pasted %d lines, not %d", box->Lines->Count(), lines);
        type(box.get(), Qt::Key_Z, Qt::ControlModifier);
        benchdata::Settle(*box);
        clock.print(key::undo_ms);
        if (box->Lines->Count() != 0)
            qFatal("the undo left %d lines", box->Lines->Count());
        type(box.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        benchdata::Settle(*box);
        clock.print(key::redo_ms);
        if (box->Lines->Count() != lines)
            qFatal("the redo gave %d lines, not %d", box->Lines->Count(), lines);
    }
    std::printf("%s %.0f\n", key::peak_rss_mb, double(benchdata::PeakResidentBytes()) / (1 << 20));
    if (fromAnotherProgram) {
        owner.kill();
        owner.waitForFinished();
    }
    return 0;
}
