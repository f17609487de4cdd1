// The other way to fill the box away from the first paint: build its document on a
// worker thread, then hand it to the box. Prints how long the worker took and how
// long the hand-over holds up the GUI thread, for a list of `lines` entries.
//
//   QT_QPA_PLATFORM=offscreen thread_fill [lines]      (default 1,000,000)
#include "Keys.h"
#include "PhoneBookData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QThread>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const QString text = benchdata::Entries(lines).join(QLatin1Char('\n'));
    QPlainTextEdit box;
    box.resize(281, 353);

    QElapsedTimer clock;
    clock.start();
    std::unique_ptr<QTextDocument> document;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        document = std::make_unique<QTextDocument>();
        document->setUndoRedoEnabled(false);
        document->setPlainText(text);
        document->moveToThread(application.thread());
    }));
    worker->start();
    worker->wait();
    std::printf("%s %lld\n", keys::thread_fill::worker_fill_ms, clock.restart());
    document->setDocumentLayout(new QPlainTextDocumentLayout(document.get()));
    box.setDocument(document.get());
    std::printf("%s %lld\n", keys::thread_fill::gui_thread_handover_ms, clock.elapsed());
    box.setDocument(nullptr);
    return 0;
}
