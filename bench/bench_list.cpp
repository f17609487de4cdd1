// The list operations of the rich-text box at 1,000 and 1,000,000 lines, each with
// the repaint that follows it on screen.
#include "BoxFixture.h"
#include "Keys.h"
#include "PhoneBookData.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextBlock>
#include <QTextCursor>

#include <benchmark/benchmark.h>

using benchdata::BoxWith;
using benchdata::Settle;

namespace {

double secondsSince(const QElapsedTimer &timer) { return double(timer.nsecsElapsed()) / 1e9; }

void BM_Add(benchmark::State &state)
{
    auto &loaded = BoxWith(int(state.range(0)));
    TRichEdit &box = *loaded.box;
    const QString entry = loaded.entries.at(0);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        box.Lines->Add(entry);
        Settle(box);
        state.SetIterationTime(secondsSince(timer));
        // Keeps the size the benchmark names, and starts the next turn settled.
        box.Lines->Delete(box.Lines->Count() - 1);
        Settle(box);
    }
}

void BM_DeleteMiddle(benchmark::State &state)
{
    auto &loaded = BoxWith(int(state.range(0)));
    TRichEdit &box = *loaded.box;
    const QString entry = loaded.entries.at(0);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        box.Lines->Delete(box.Lines->Count() / 2);
        Settle(box);
        state.SetIterationTime(secondsSince(timer));
        box.Lines->Add(entry);
        Settle(box);
    }
}

void BM_CaretPos(benchmark::State &state)
{
    TRichEdit &box = *BoxWith(int(state.range(0))).box;
    QTextCursor cursor(box.document()->findBlockByNumber(box.Lines->Count() / 2));
    cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 3);
    box.setTextCursor(cursor);
    for (auto _ : state)
        benchmark::DoNotOptimize(box.CaretPos());
    box.moveCursor(QTextCursor::Start);
}

void BM_Text(benchmark::State &state)
{
    TRichEdit &box = *BoxWith(int(state.range(0))).box;
    for (auto _ : state)
        benchmark::DoNotOptimize(box.Lines->Text());
}

void BM_SaveToFile(benchmark::State &state)
{
    auto &loaded = BoxWith(int(state.range(0)));
    const QString fileName = loaded.directory.filePath(QStringLiteral("baza.doc"));
    for (auto _ : state)
        loaded.box->Lines->SaveToFile(fileName, phonebook::SaveFormat());
}

// The part of a save before the file: the box's content as the model, then as bytes.
void BM_SaveToMemory(benchmark::State &state)
{
    TRichEdit &box = *BoxWith(int(state.range(0))).box;
    for (auto _ : state)
        benchmark::DoNotOptimize(codec::WriteRtf(box.Document(), phonebook::SaveFormat()));
}

void loadFromFile(benchmark::State &state, bool rtf)
{
    auto &loaded = BoxWith(int(state.range(0)));
    const QString fileName = rtf ? loaded.rtfFile : loaded.plainFile;
    for (auto _ : state) {
        loaded.box->Lines->LoadFromFile(fileName);
        Settle(*loaded.box);
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(fileName).size());
}

void BM_LoadFromFile(benchmark::State &state) { loadFromFile(state, false); }

void BM_LoadFromFileRtf(benchmark::State &state) { loadFromFile(state, true); }

// What the event loop waits for right after a load into a hidden box, as at start:
// the first Add (the box hidden, as the Add button leaves it), the first show, and
// the first Delete on the shown box.
void BM_FirstAfterLoad(benchmark::State &state)
{
    auto &loaded = BoxWith(int(state.range(0)));
    double add = 0, show = 0, remove = 0;
    for (auto _ : state) {
        auto box = benchdata::NewHiddenBox(loaded.plainFile);
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        box->Lines->Add(loaded.entries.at(0));
        Settle(*box);
        add = secondsSince(timer);
        timer.start();
        box->show();
        Settle(*box);
        show = secondsSince(timer);
        timer.start();
        box->Lines->Delete(box->Lines->Count() / 2);
        Settle(*box);
        remove = secondsSince(timer);
        state.SetIterationTime(std::max({ add, show, remove }));
    }
    state.counters[keys::bench_list::add_ms] = add * 1e3;
    state.counters[keys::bench_list::show_ms] = show * 1e3;
    state.counters[keys::bench_list::delete_ms] = remove * 1e3;
}

void Register()
{
    namespace key = keys::bench_list;
    const std::vector<int64_t> sizes = { 1000, 1000000 };
    const auto milliseconds = benchmark::kMillisecond;
    benchmark::RegisterBenchmark(key::BM_Add, BM_Add)
        ->ArgsProduct({ sizes })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(key::BM_DeleteMiddle, BM_DeleteMiddle)
        ->ArgsProduct({ sizes })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(key::BM_CaretPos, BM_CaretPos)
        ->ArgsProduct({ sizes })
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(key::BM_Text, BM_Text)->ArgsProduct({ sizes })->Unit(milliseconds);
    benchmark::RegisterBenchmark(key::BM_SaveToFile, BM_SaveToFile)
        ->ArgsProduct({ sizes })
        ->Unit(milliseconds);
    benchmark::RegisterBenchmark(key::BM_SaveToMemory, BM_SaveToMemory)
        ->ArgsProduct({ sizes })
        ->Unit(milliseconds);
    benchmark::RegisterBenchmark(key::BM_LoadFromFile, BM_LoadFromFile)
        ->ArgsProduct({ sizes })
        ->Unit(milliseconds);
    benchmark::RegisterBenchmark(key::BM_LoadFromFileRtf, BM_LoadFromFileRtf)
        ->Arg(100000)
        ->Unit(milliseconds);
    benchmark::RegisterBenchmark(key::BM_FirstAfterLoad, BM_FirstAfterLoad)
        ->Arg(1000000)
        ->Iterations(1)
        ->Repetitions(3)
        ->UseManualTime()
        ->Unit(milliseconds);
}

}   // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    benchdata::ReleaseBoxes();
    return 0;
}
