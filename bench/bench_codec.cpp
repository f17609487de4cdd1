// The file codecs alone, on a million phone-book entries held in memory.
#include "PhoneBookData.h"

#include "richtext/DocumentFiles.h"
#include "codec/PlainText.h"
#include "codec/RichDocument.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"

#include <benchmark/benchmark.h>

namespace {

struct Data {
    codec::RichDocument document;
    QByteArray rtf;
    QByteArray plain;
};

const Data &data()
{
    static const Data loaded = [] {
        const QStringList entries = benchdata::Entries(1000000);
        Data result;
        result.document = codec::RichDocument::fromLines(entries);
        result.rtf = codec::WriteRtf(result.document);
        result.plain = benchdata::PlainFile(entries);
        return result;
    }();
    return loaded;
}

// Bytes written per second: the size of the Rich Text Format output.
void BM_WriteRtf(benchmark::State &state)
{
    const Data &input = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(codec::WriteRtf(input.document));
    state.SetBytesProcessed(state.iterations() * input.rtf.size());
}

void BM_ReadRtf(benchmark::State &state)
{
    const Data &input = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(codec::ReadRtf(input.rtf));
    state.SetBytesProcessed(state.iterations() * input.rtf.size());
}

void BM_ReadPlainText(benchmark::State &state)
{
    const Data &input = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(richtext::Decode(input.plain));
    state.SetBytesProcessed(state.iterations() * input.plain.size());
}

}   // namespace

BENCHMARK(BM_WriteRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRtf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPlainText)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
