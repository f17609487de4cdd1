// The tables below are ASCII literals; implicit conversion keeps them readable.
#undef QT_NO_CAST_FROM_ASCII

#include "Literals.h"
#include "Scaling.h"
#include "codec/PlainText.h"
#include "codec/RichDocument.h"

#include <QTest>

using namespace codec;
using namespace literals;

class TestPlainText : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
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
    QTest::newRow("invalid utf-8 is cp1250") << QByteArray("\xe3\xba \x8a\n") << QStringList { u(u"ăş Š") };
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
    QStringList cp1250Lines(many, u(u"Pop  Ä\u0083na"));
    cp1250Lines.last() = u(u"Pop  ăş x");
    QTest::newRow("large, not utf-8 in its second half only") << line.repeated(many - 1)
            + "Pop  \xe3\xba x\r\n" << cp1250Lines;
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

void TestPlainText::cp1250_undefinedBytes_roundTripAsC1()
{
    // 0x81 0x83 0x88 0x90 0x98 are unassigned in Windows-1250; they keep their value.
    const RichDocument document = ReadPlainText(QByteArray("\x81\x83\x88\x90\x98\n"));
    QCOMPARE(document.lines(), QStringList { u(u"\u0081\u0083\u0088\u0090\u0098") });
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
