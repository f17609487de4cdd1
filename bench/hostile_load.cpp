// Loads a generated hostile file into a rich-text box as the program does (hidden,
// then shown), types one key into its first line, and prints the time of each step
// and the peak memory. With "edit", instead selects all, deletes, and undoes.
//     hostile_load pieces|sizes|families|colours|word|words|boldlines|plainlines|empty|entries COUNT [edit]
#include "BoxFixture.h"
#include "Keys.h"
#include "PhoneBookData.h"
#include "support/HostileFiles.h"
#include "system/Exception.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>

#include <cstdio>
#include <cstring>

namespace {

namespace key = keys::hostile_load;

QByteArray generate(const char *kind, int count)
{
    if (!std::strcmp(kind, "pieces"))
        return hostile::formattedPieces(count);
    if (!std::strcmp(kind, "sizes"))
        return hostile::distinctSizes(count, std::getenv("PER") ? std::atoi(std::getenv("PER")) : count);
    if (!std::strcmp(kind, "families"))
        return hostile::distinctFamilies(count);
    if (!std::strcmp(kind, "colours"))
        return hostile::distinctColours(count);
    if (!std::strcmp(kind, "word"))
        return hostile::longWord(count);
    if (!std::strcmp(kind, "words"))
        return hostile::longLineOfWords(count);
    if (!std::strcmp(kind, "boldlines"))
        return hostile::formattedLines(count);
    if (!std::strcmp(kind, "plainlines"))
        return hostile::plainLines(count);
    if (!std::strcmp(kind, "empty"))
        return hostile::emptyLines(count);
    if (!std::strcmp(kind, "entries"))
        return benchdata::PlainFile(benchdata::Entries(count));
    qFatal("unknown kind %s", kind);
}

double msSince(QElapsedTimer &timer)
{
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    return ms;
}

void type(QWidget *target, Qt::Key key, const QString &text = {}, Qt::KeyboardModifiers modifiers = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(target, &release);
}

}   // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc < 3)
        qFatal("usage: hostile_load KIND COUNT [edit]");
    const bool edit = argc > 3 && !std::strcmp(argv[3], "edit");
    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("baza.txt"));
    {
        const QByteArray bytes = generate(argv[1], std::atoi(argv[2]));
        benchdata::WriteFile(fileName, bytes);
        std::printf("%s %lld\n", key::file_bytes, qint64(bytes.size()));
    }
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<TRichEdit> box;
    try {
        box = benchdata::NewHiddenBox(fileName);
    } catch (const Exception &failure) {
        std::printf("%s %.1f %s\n", key::refused_ms, msSince(timer), qUtf8Printable(failure.Message()));
        std::printf("%s %.0f\n", key::peak_rss_mb, double(benchdata::PeakResidentBytes()) / (1 << 20));
        return 0;
    }
    std::printf("%s %.1f\n", key::load_ms, msSince(timer));
    box->show();
    benchdata::Settle(*box);
    std::printf("%s %.1f\n", key::show_ms, msSince(timer));
    std::printf("%s %d\n", key::lines, box->Lines->Count());
    box->setFocus();
    if (edit) {
        type(box.get(), Qt::Key_A, {}, Qt::ControlModifier);
        benchdata::Settle(*box);
        std::printf("%s %.1f\n", key::select_all_ms, msSince(timer));
        type(box.get(), Qt::Key_Delete);
        benchdata::Settle(*box);
        std::printf("%s %.1f\n", key::delete_ms, msSince(timer));
        std::printf("%s %d\n", key::lines_after_delete, box->Lines->Count());
        type(box.get(), Qt::Key_Z, {}, Qt::ControlModifier);
        benchdata::Settle(*box);
        std::printf("%s %.1f\n", key::undo_ms, msSince(timer));
        std::printf("%s %d\n", key::lines_after_undo, box->Lines->Count());
    } else {
        QTextCursor cursor(box->document());
        cursor.setPosition(std::min(box->document()->firstBlock().length() / 2, 1000));
        box->setTextCursor(cursor);
        benchdata::Settle(*box);
        timer.restart();
        type(box.get(), Qt::Key_Q, QStringLiteral("q"));
        benchdata::Settle(*box);
        std::printf("%s %.1f\n", key::key_ms, msSince(timer));
    }
    std::printf("%s %.0f\n", key::peak_rss_mb, double(benchdata::PeakResidentBytes()) / (1 << 20));
    return 0;
}
