#include "Literals.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "support/Formats.h"
#include "support/TestFiles.h"

#include <QRandomGenerator>
#include <QTest>

using namespace codec;

Q_DECLARE_METATYPE(codec::RichDocument)

namespace {

// Pieces that stress what the writer must escape or encode, and runs of blanks.
const QStringList pieces = literals::linePieces()
    + QStringList { u"\t\t"_qs, u"{\\b}"_qs, u";"_qs, u"\U0001F600"_qs, u"€"_qs, u"ф"_qs, u"\uFF01"_qs,
          u"'"_qs };

QString randomLine(QRandomGenerator &random)
{
    QString line;
    const int count = random.bounded(8);
    for (int i = 0; i < count; ++i)
        line += pieces.at(random.bounded(pieces.size()));
    return line;
}

QStringList randomLines(QRandomGenerator &random)
{
    QStringList lines;
    const int count = random.bounded(12);
    for (int i = 0; i < count; ++i)
        lines << (random.bounded(4) == 0 ? QString() : randomLine(random));
    return lines;
}

std::optional<Rgb> randomColour(QRandomGenerator &random)
{
    if (random.bounded(2) == 0)
        return std::nullopt;
    return Rgb { std::uint8_t(random.bounded(256)), std::uint8_t(random.bounded(256)),
        std::uint8_t(random.bounded(256)) };
}

// The default family and size are left out: a run naming them looks like default text
// in any Rich Text Format file.
CharacterFormat randomFormat(QRandomGenerator &random)
{
    // Names with what a font table must escape: ';' ends an entry, blanks and
    // non-ASCII letters go through the delimiter rules and \uN.
    static const QStringList families = { QString(), u"Arial"_qs, u"Courier New"_qs, u"Times New Roman"_qs,
        u"DejaVu Sans"_qs, u"Courier;New"_qs, u"a;b;;c"_qs, u"Times  New   Roman"_qs, u"Ţimes Românesc"_qs,
        u"宋体"_qs, u"Шрифт \U0001F4DE"_qs, u"{Brace} \\Back"_qs };
    CharacterFormat format = support::RandomFormat(random, families, { 0, 9, 20, 24, 36, 72 });
    format.foreground = randomColour(random);
    format.background = randomColour(random);
    return format;
}

RichDocument randomFormattedDocument(QRandomGenerator &random)
{
    RichDocument document;
    const int paragraphs = random.bounded(8);
    for (int p = 0; p < paragraphs; ++p) {
        const int stretches = random.bounded(5);
        for (int s = 0; s < stretches; ++s) {
            const bool plain = random.bounded(3) == 0;
            document.append(randomLine(random), plain ? CharacterFormat {} : randomFormat(random));
        }
        document.endParagraph();
    }
    return document;
}

QString describe(const RichDocument &document)
{
    return QString::fromUtf8(WriteRtf(document, phonebook::SaveFormat()));
}

}   // namespace

class TestRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void writeThenRead_givesSameDocument_data();
    void writeThenRead_givesSameDocument();
    void writeThenRead_randomLists_giveSameLines_data();
    void writeThenRead_randomLists_giveSameLines();
    void writeThenRead_randomFormatting_givesSameDocument_data();
    void writeThenRead_randomFormatting_givesSameDocument();
};

void TestRoundTrip::writeThenRead_givesSameDocument_data()
{
    QTest::addColumn<RichDocument>("document");

    QTest::newRow("empty document") << RichDocument {};
    QTest::newRow("one empty paragraph") << support::DocumentOf({ QString() });
    QTest::newRow("empty lines first, inside and last")
        << support::DocumentOf({ QString(), u"a"_qs, QString(), QString(), u"b"_qs, QString() });
    QTest::newRow("blanks only") << support::DocumentOf({ u" "_qs, u"   "_qs, u"\t \t"_qs });
    QTest::newRow("blank after control words")
        << support::DocumentOf({ u"\t x"_qs, u"\t1"_qs, u"\u2028 \u2028-"_qs, u"ă a"_qs, u"ș1"_qs });
    QTest::newRow("control characters")
        << support::DocumentOf({ u"a\u0001b\u000cc\u001b\u007f"_qs, u"\u0008"_qs });
    QTest::newRow("braces, backslashes and control words as text")
        << support::DocumentOf({ u"\\{}\\\\}}{{"_qs, u"\\par \\u259?"_qs });
    // The writer's \uN is signed: these are the ends of its positive and negative ranges.
    QTest::newRow("code units at the signed ends")
        << support::DocumentOf({ u"\u7FFF\u8000"_qs, u"\u8000"_qs, u"a\uFFFF b\u8001"_qs });

    RichDocument formatted;
    formatted.append(u"Pop  "_qs, {});
    formatted.append(u"Ana\t\u2028ș"_qs, support::Bold());
    formatted.endParagraph();
    formatted.append(u"0722"_qs, support::Bold());
    formatted.endParagraph();
    QTest::newRow("formatted line break and tab") << formatted;
}

void TestRoundTrip::writeThenRead_givesSameDocument()
{
    QFETCH(RichDocument, document);
    const RichDocument read = ReadRtf(WriteRtf(document, phonebook::SaveFormat()));
    QVERIFY2(read == document, qPrintable(describe(document)));
}

void TestRoundTrip::writeThenRead_randomLists_giveSameLines_data()
{
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : { 1u, 2u, 3u, 4u })
        QTest::addRow("seed %u", seed) << seed;
}

void TestRoundTrip::writeThenRead_randomLists_giveSameLines()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    for (int i = 0; i < 1000; ++i) {
        const QStringList lines = randomLines(random);
        const RichDocument document = support::DocumentOf(lines);
        const RichDocument read = ReadRtf(WriteRtf(document, phonebook::SaveFormat()));
        QVERIFY2(read == document, qPrintable(u"list %1:\n%2"_qs.arg(i).arg(describe(document))));
        QCOMPARE(read.lines(), lines);
    }
}

void TestRoundTrip::writeThenRead_randomFormatting_givesSameDocument_data()
{
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : { 11u, 12u })
        QTest::addRow("seed %u", seed) << seed;
}

void TestRoundTrip::writeThenRead_randomFormatting_givesSameDocument()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    for (int i = 0; i < 1000; ++i) {
        const RichDocument document = randomFormattedDocument(random);
        const RichDocument read = ReadRtf(WriteRtf(document, phonebook::SaveFormat()));
        QVERIFY2(read == document, qPrintable(u"document %1:\n%2"_qs.arg(i).arg(describe(document))));
    }
}

QTEST_GUILESS_MAIN(TestRoundTrip)
#include "tst_roundtrip.moc"
