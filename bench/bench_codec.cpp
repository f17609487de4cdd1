// The file codecs alone, on a million phone-book entries held in memory.
#include "Keys.h"
#include "PhoneBookData.h"
#include "codec/CodePages.h"
#include "codec/PlainText.h"
#include "codec/RichDocument.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "richtext/DocumentFiles.h"
#include "support/DocumentOf.h"

#include <QHash>

#include <benchmark/benchmark.h>

namespace {

struct Data {
    codec::RichDocument document;
    QByteArray rtf;
    QByteArray plain;
    QByteArray ascii;
    QByteArray cp1250;
};

// The entries as an old system wrote them: Windows-1250, whose s and t carry a cedilla.
QByteArray Cp1250File(const QStringList &entries)
{
    const codec::CodePage page = codec::CodePage::forNumber(1250);
    QHash<char16_t, char> bytes;
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = char(b);
        QChar c;
        page.decode(QByteArrayView(&byte, 1), &c);
        bytes.insert(c.unicode(), byte);
    }
    bytes.insert(u'\u0218', bytes.value(u'\u015E'));
    bytes.insert(u'\u0219', bytes.value(u'\u015F'));
    bytes.insert(u'\u021A', bytes.value(u'\u0162'));
    bytes.insert(u'\u021B', bytes.value(u'\u0163'));
    QByteArray out;
    for (const QString &entry : entries) {
        for (const QChar c : entry)
            out.append(c.unicode() < 0x80 ? char(c.unicode()) : bytes.value(c.unicode(), '?'));
        out.append("\r\n");
    }
    return out;
}

// The same entries without their accents, as ASCII.
QByteArray AsciiFile(const QStringList &entries)
{
    QByteArray out;
    for (const QString &entry : entries) {
        for (const QChar c : entry.normalized(QString::NormalizationForm_D)) {
            if (c.unicode() < 0x80)
                out.append(char(c.unicode()));
        }
        out.append("\r\n");
    }
    return out;
}

const Data &data()
{
    static const Data loaded = [] {
        const QStringList entries = benchdata::Entries(1000000);
        Data result;
        result.document = support::DocumentOf(entries);
        result.rtf = codec::WriteRtf(result.document, phonebook::SaveFormat());
        result.plain = benchdata::PlainFile(entries);
        result.ascii = AsciiFile(entries);
        result.cp1250 = Cp1250File(entries);
        return result;
    }();
    return loaded;
}

// Bytes written per second: the size of the Rich Text Format output.
void BM_WriteRtf(benchmark::State &state)
{
    const Data &input = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(codec::WriteRtf(input.document, phonebook::SaveFormat()));
    state.SetBytesProcessed(state.iterations() * input.rtf.size());
}

void BM_ReadRtf(benchmark::State &state)
{
    const Data &input = data();
    for (auto _ : state)
        benchmark::DoNotOptimize(codec::ReadRtf(input.rtf));
    state.SetBytesProcessed(state.iterations() * input.rtf.size());
}

void ReadPlainText(benchmark::State &state, const QByteArray &file)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(richtext::Decode(file));
    state.SetBytesProcessed(state.iterations() * file.size());
}

// The program's own baza.txt, UTF-8 with Romanian letters in about a third of its lines.
void BM_ReadPlainText(benchmark::State &state) { ReadPlainText(state, data().plain); }

void BM_ReadPlainTextAscii(benchmark::State &state) { ReadPlainText(state, data().ascii); }

void BM_ReadPlainTextCp1250(benchmark::State &state) { ReadPlainText(state, data().cp1250); }

}   // namespace

int main(int argc, char **argv)
{
    namespace key = keys::bench_codec;
    benchmark::RegisterBenchmark(key::BM_WriteRtf, BM_WriteRtf)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(key::BM_ReadRtf, BM_ReadRtf)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(key::BM_ReadPlainText, BM_ReadPlainText)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(key::BM_ReadPlainTextAscii, BM_ReadPlainTextAscii)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(key::BM_ReadPlainTextCp1250, BM_ReadPlainTextCp1250)
        ->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
