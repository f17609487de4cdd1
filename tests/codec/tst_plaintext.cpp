// The tables below are ASCII literals; implicit conversion keeps them readable.
#undef QT_NO_CAST_FROM_ASCII

#include "Literals.h"
#include "Scaling.h"
#include "codec/PlainText.h"
#include "codec/RichDocument.h"

#include <QStringEncoder>
#include <QTest>

using namespace codec;
using namespace literals;

class TestPlainText : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void readsAsWritten_data();
    void readsAsWritten();
    void cp1250_undefinedBytes_roundTripAsC1();
    void hundredMegabyteLine_readsLinearly();
    void read_growsLinearly_data();
    void read_growsLinearly();
};

void TestPlainText::read_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty file") << QByteArray() << QStringList {};
    QTest::newRow("one empty line") << QByteArray("\n") << QStringList { "" };
    QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList { "a", "b" };
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList { "a", "b" };
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList { "a", "b" };
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\nb") << QStringList { "a", "", "b" };
    QTest::newRow("mixed ends") << QByteArray("a\r\nb\nc\rd") << QStringList { "a", "b", "c", "d" };
    QTest::newRow("last line without end") << QByteArray("a\nb") << QStringList { "a", "b" };
    QTest::newRow("blank lines kept") << QByteArray("a\n\n\nb\n") << QStringList { "a", "", "", "b" };
    QTest::newRow("utf-8") << QByteArray("\xc4\x83\xc8\x99\n") << QStringList { u(u"ăș") };
    QTest::newRow("utf-8 with BOM") << QByteArray("\xef\xbb\xbf\xc4\x83\n") << QStringList { u(u"ă") };
    QTest::newRow("utf-8 non-BMP") << QByteArray("\xf0\x9f\x92\xa9") << QStringList { u(u"\U0001F4A9") };
    QTest::newRow("utf-16 LE") << bytes("\xff\xfe"
                                        "a\0\x03\x01\r\0\n\0b\0")
                               << QStringList { u(u"aă"), "b" };
    QTest::newRow("utf-16 BE") << bytes("\xfe\xff"
                                        "\0a\x01\x03\0\n\0b")
                               << QStringList { u(u"aă"), "b" };
    QTest::newRow("invalid utf-8 is cp1250")
        << inPage(1250, u(u"Mureşan  Ştefan  Šimon\n")) << QStringList { u(u"Mureşan  Ştefan  Šimon") };
    // Valid UTF-8 by accident: 'Â' and a letter in cp1250 read as a sign of U+0080..U+00BF.
    QTest::newRow("cp1250 letters that form utf-8")
        << QByteArray("C\xc2\xaaTIG\r\nS\xc2\xbaT\r\n") << QStringList { u(u"CÂŞTIG"), u(u"SÂşT") };
    QTest::newRow("utf-8 signs stay utf-8")
        << QByteArray("20\xc2\xb0 \xc2\xa9 \xc2\xabx\xc2\xbb 5\xc2\xb5m\n")
        << QStringList { u(u"20° © «x» 5µm") };
    QTest::newRow("one utf-8 letter decides")
        << QByteArray("\xc2\xaa \xc4\x83\n") << QStringList { u(u"ª ă") };
    QTest::newRow("truncated utf-8 is cp1250") << QByteArray("ok \xc4") << QStringList { u(u"ok Ä") };
    QTest::newRow("NUL dropped") << bytes("a\0b\n") << QStringList { "ab" };
    QTest::newRow("paragraph separator ends a line") << QByteArray("a\xe2\x80\xa9"
                                                                   "b")
                                                     << QStringList { "a", "b" };
    QTest::newRow("line separator stays") << QByteArray("a\xe2\x80\xa8"
                                                        "b")
                                          << QStringList { u(u"a\u2028b") };
    QTest::newRow("tabs and spaces kept")
        << QByteArray("Pop  Ana\t555  \n") << QStringList { "Pop  Ana\t555  " };

    // Large enough to be decoded in two halves.
    const int many = 500'000;
    const QByteArray line("Pop  \xc4\x83na\r\n");
    const QStringList lines(many, u(u"Pop  ăna"));
    QTest::newRow("large utf-8") << line.repeated(many) << lines;
    // Windows-1250 capitals that are valid UTF-8 until the last line.
    QStringList cp1250Lines(many, u(u"TĂŞNAD  0261"));
    cp1250Lines.last() = u(u"Bălan");
    QTest::newRow("large, not utf-8 in its second half only")
        << QByteArray("T\xc3\xaaNAD  0261\r\n").repeated(many - 1) + "B\xe3lan\r\n"
        << cp1250Lines;
}

void TestPlainText::read()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, lines);
    const RichDocument document = ReadPlainText(input);
    QCOMPARE(document.lines(), lines);
    QVERIFY(document.runs.empty());
    QVERIFY(!document.text.contains(QLatin1Char('\r')));
}

namespace {

QByteArray Utf16(const QString &text, QSysInfo::Endian order)
{
    QStringEncoder encoder(
        order == QSysInfo::LittleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    return encoder(text);
}

}   // namespace

// Files as Romanian users have them, each read in the encoding it was written in.
void TestPlainText::readsAsWritten_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("encoding");
    QTest::addColumn<QStringList>("lines");

    const auto add = [](const char *tag, const QByteArray &bytes, const char *encoding, const QString &text) {
        QTest::newRow(tag) << bytes << QString::fromLatin1(encoding) << text.split(QLatin1Char('\n'));
    };
    const QString names = u(u"Ştefan Bălan\nŞCOALA NR. 1 Întorsura");
    add("utf-16 LE without BOM", Utf16(names, QSysInfo::LittleEndian), "UTF-16LE", names);
    add("utf-16 BE without BOM", Utf16(names, QSysInfo::BigEndian), "UTF-16BE", names);
    // Lengths around the eight bytes the zero bytes are counted in at a time.
    for (const int length : { 1, 3, 4, 5, 8, 9, 17 }) {
        const QString text = QStringLiteral("Pop Ana 0744 555 010").left(length);
        QTest::addRow("utf-16 LE without BOM, %d characters", length)
            << Utf16(text, QSysInfo::LittleEndian) << QStringLiteral("UTF-16LE") << QStringList { text };
        QTest::addRow("utf-16 BE without BOM, %d characters", length)
            << Utf16(text, QSysInfo::BigEndian) << QStringLiteral("UTF-16BE") << QStringList { text };
    }
    add("windows-1250 padded with NULs", inPage(1250, u(u"Bălan")) + QByteArray(40, '\0'), "Windows-1250",
        u(u"Bălan"));
    add("windows-1250 capitals that are valid utf-8", inPage(1250, u(u"PRIMARIA TĂŞNAD  0261 825 001")),
        "Windows-1250", u(u"PRIMARIA TĂŞNAD  0261 825 001"));
    add("windows-1250 quotes and dash", inPage(1250, u(u"„Farmacia” – Ştefan  0264")), "Windows-1250",
        u(u"„Farmacia” – Ştefan  0264"));
    add("windows-1250 no-break space", inPage(1250, u(u"Popescu\u00a0Ion")), "Windows-1250",
        u(u"Popescu\u00a0Ion"));
    // Where two readings give the same letters, the first page in the order is taken.
    add("iso-8859-2 is read as windows-1250 where they agree", inPage(28592, u(u"Mureşan Ţurcanu")),
        "Windows-1250", u(u"Mureşan Ţurcanu"));
    add("iso-8859-16 u with double acute", inPage(28606, u(u"Szűcs  Ștefan")), "ISO-8859-16",
        u(u"Szűcs  Ștefan"));
    add("dos 852 t with cedilla alone", inPage(852, u(u"Ionuţ  Constanţa")), "DOS 852",
        u(u"Ionuţ  Constanţa"));
    add("dos 852 sharp s alone", inPage(852, u(u"Groß  0744")), "DOS 852", u(u"Groß  0744"));
    add("dos 852 table", inPage(852, u(u"┌──────┬────┐\n│Stan  │0744│\n└──────┴────┘")), "DOS 852",
        u(u"┌──────┬────┐\n│Stan  │0744│\n└──────┴────┘"));
    add("utf-8 ordinal sign", u(u"Str. Lunga nº 5  0721").toUtf8(), "UTF-8", u(u"Str. Lunga nº 5  0721"));
    add("utf-8 ordinal after a digit", u(u"Cabinet 1º").toUtf8(), "UTF-8", u(u"Cabinet 1º"));
    add("utf-8 quotes, dash, apostrophe", u(u"„Farmacia” – Ion’s").toUtf8(), "UTF-8",
        u(u"„Farmacia” – Ion’s"));
    add("utf-8 degree and copyright", u(u"20°C © Firma®").toUtf8(), "UTF-8", u(u"20°C © Firma®"));
    add("utf-8 soft hyphen", u(u"Ste\u00adfan").toUtf8(), "UTF-8", u(u"Ste\u00adfan"));
    add("utf-8 capitals", u(u"CAFÉ MÜLLER ŞCOALA").toUtf8(), "UTF-8", u(u"CAFÉ MÜLLER ŞCOALA"));
    add("utf-8 cyrillic", u(u"Иванов Иван  0744").toUtf8(), "UTF-8", u(u"Иванов Иван  0744"));
    add("utf-8 greek", u(u"Παπαδόπουλος  0744").toUtf8(), "UTF-8", u(u"Παπαδόπουλος  0744"));
    add("utf-8 one hungarian letter", u(u"Hajnal  Júlia").toUtf8(), "UTF-8", u(u"Hajnal  Júlia"));

    // Decided from the whole file: each half, decoded on a thread of its own, counts.
    const int many = 300'000;
    const QByteArray utf8 = u(u"Bălan  0744\n").toUtf8().repeated(many);
    const QByteArray capitals = inPage(1250, u(u"TĂŞNAD  0261\n")).repeated(many);
    const QString utf8As1250 = u(u"BÄ\u0083lan  0744\n").repeated(many);
    const QString capitalsText = u(u"TĂŞNAD  0261\n").repeated(many);
    add("large, utf-8 then windows-1250 capitals", utf8 + capitals, "Windows-1250",
        utf8As1250 + capitalsText.chopped(1));
    add("large, windows-1250 capitals then utf-8", capitals + utf8, "Windows-1250",
        capitalsText + utf8As1250.chopped(1));
}

void TestPlainText::readsAsWritten()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, encoding);
    QFETCH(QStringList, lines);
    TextEncoding found;
    const RichDocument document = ReadPlainText(input, &found);
    QCOMPARE(QString::fromLatin1(EncodingName(found)), encoding);
    QCOMPARE(document.lines(), lines);
}

void TestPlainText::cp1250_undefinedBytes_roundTripAsC1()
{
    // 0x81 0x83 0x88 0x90 0x98 are unassigned in Windows-1250; they keep their value.
    const QByteArray romanian = inPage(1250, u(u"Şcoala Gimnazială Însurăţei Ştefăneşti Târgu Jiu\n"));
    TextEncoding encoding;
    const RichDocument document = ReadPlainText(romanian.repeated(3) + "\x81\x83\x88\x90\x98\n", &encoding);
    QCOMPARE(EncodingName(encoding), "Windows-1250");
    QCOMPARE(document.lines().last(), u(u"\u0081\u0083\u0088\u0090\u0098"));
}

void TestPlainText::hundredMegabyteLine_readsLinearly()
{
    const QByteArray line(100 * 1024 * 1024, 'x');
    const RichDocument document = ReadPlainText(line);
    QCOMPARE(document.text.size(), line.size() + 1);
    QCOMPARE(document.lineCount(), 1);
}

void TestPlainText::read_growsLinearly_data()
{
    QTest::addColumn<QByteArray>("unit");
    QTest::newRow("one long line") << QByteArray(1024, 'x');
    QTest::newRow("many CR LF lines") << QByteArray("Pop Ana 555\r\n");
    QTest::newRow("many lone CRs") << QByteArray("a\r");
    QTest::newRow("cp1250 bytes") << QByteArray("\xe3\xba ");
    QTest::newRow("utf-8 letters") << QByteArray("\xc4\x83\xc8\x99\n");
    QTest::newRow("NULs") << bytes("a\0");
}

void TestPlainText::read_growsLinearly()
{
    QFETCH(QByteArray, unit);
    const double growth = scaling::GrowthOnFourTimesTheInput(
        [&unit](int n) { return unit.repeated(n); }, [](const QByteArray &bytes) { ReadPlainText(bytes); });
    QVERIFY2(growth < scaling::linearGrowthBound, qPrintable(QString::number(growth)));
}

QTEST_GUILESS_MAIN(TestPlainText)
#include "tst_plaintext.moc"
