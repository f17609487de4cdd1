// Documents of thousands of distinct formats: read, written, loaded into the box and
// saved from it.
//   bench_formats [Google Benchmark options]
#include "Keys.h"
#include "PhoneBookData.h"
#include "codec/RichDocument.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "support/HostileFiles.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The argument pair: how many formats, and whether each is a font family of its own
// rather than a colour.
QByteArray input(const benchmark::State &state)
{
    return hostile::manyFormats(int(state.range(0)), state.range(1));
}

void BM_ReadFormats(benchmark::State &state)
{
    const QByteArray rtf = input(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(codec::ReadRtf(rtf));
}

void BM_WriteFormats(benchmark::State &state)
{
    const codec::RichDocument document = codec::ReadRtf(input(state));
    for (auto _ : state)
        benchmark::DoNotOptimize(codec::WriteRtf(document, phonebook::SaveFormat()));
}

// The box loads `baza.rtf` and, when `save`, saves it again; only that is timed.
void boxFormats(benchmark::State &state, bool save)
{
    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("baza.rtf"));
    benchdata::WriteFile(fileName, input(state));
    TRichEdit box;
    if (save)
        box.Lines->LoadFromFile(fileName);
    for (auto _ : state) {
        if (save)
            box.Lines->SaveToFile(fileName, phonebook::SaveFormat());
        else
            box.Lines->LoadFromFile(fileName);
    }
}

void BM_BoxLoadFormats(benchmark::State &state) { boxFormats(state, false); }

void BM_BoxSaveFormats(benchmark::State &state) { boxFormats(state, true); }

}   // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    namespace key = keys::bench_formats;
    // Colours; families for the codecs alone, the box taking most of a minute to
    // resolve 32,766 fonts.
    const std::vector<std::vector<int64_t>> colours
        = { { 5'000, 0 }, { 10'000, 0 }, { 20'000, 0 }, { 100'000, 0 } };
    std::vector<std::vector<int64_t>> all = colours;
    all.push_back({ 32'766, 1 });
    const std::pair<const char *, void (*)(benchmark::State &)> codecs[]
        = { { key::BM_ReadFormats, BM_ReadFormats }, { key::BM_WriteFormats, BM_WriteFormats } };
    const std::pair<const char *, void (*)(benchmark::State &)> box[]
        = { { key::BM_BoxLoadFormats, BM_BoxLoadFormats }, { key::BM_BoxSaveFormats, BM_BoxSaveFormats } };
    for (const auto &[name, function] : codecs) {
        for (const auto &arguments : all)
            benchmark::RegisterBenchmark(name, function)->Args(arguments)->Unit(benchmark::kMillisecond);
    }
    for (const auto &[name, function] : box) {
        for (const auto &arguments : colours)
            benchmark::RegisterBenchmark(name, function)->Args(arguments)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
