// The tables below are ASCII literals; implicit conversion keeps them readable.
#undef QT_NO_CAST_FROM_ASCII

#include "Literals.h"
#include "Scaling.h"
#include "codec/RichDocument.h"
#include "codec/rtf/Reader.h"

#include <QTest>

using namespace codec;
using namespace literals;

// Files made to break the reader: deep nesting, huge numbers and tables, cut short; what
// text they hold comes back, in time that grows with the file and no faster.
class TestRtfHostile : public QObject {
    Q_OBJECT

private slots:
    void hostile_data();
    void hostile();
    void hostile_growsLinearly_data();
    void hostile_growsLinearly();
};

void TestRtfHostile::hostile_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("lines");

    const QByteArray deep = QByteArray(100000, '{') + "x" + QByteArray(100000, '}');
    QTest::newRow("100000 levels, balanced") << "{\\rtf1 a" + deep + "b\\par}" << QStringList { "axb" };
    QTest::newRow("100000 levels, unclosed")
        << "{\\rtf1 a" + QByteArray(100000, '{') + "x" << QStringList { "ax" };
    QTest::newRow("formatting past the cap does not leak") << "{\\rtf1 " + QByteArray(20000, '{') + "\\v "
            + QByteArray(20000, '}') + "shown}" << QStringList { "shown" };
    QTest::newRow("bin huge") << QByteArray("{\\rtf1 a\\bin9999999999 xyz}") << QStringList { "a" };
    QTest::newRow("bin 20 digits") << QByteArray("{\\rtf1 a\\bin99999999999999999999 xyz}")
                                   << QStringList { "a" };
    QTest::newRow("bin negative") << QByteArray("{\\rtf1 a\\bin-5 xyz}") << QStringList { "axyz" };
    QTest::newRow("long control word")
        << "{\\rtf1 a\\" + QByteArray(100000, 'x') + "123 b}" << QStringList { "ab" };
    QTest::newRow("33 letters is no keyword")
        << "{\\rtf1 a\\par" + QByteArray(30, 'x') + " b}" << QStringList { "ab" };
    QTest::newRow("huge uc") << QByteArray("{\\rtf1\\uc2147483647 \\u259 abcdefghijklmnopqrstuvwxyz}")
                             << QStringList { u(u"ăqrstuvwxyz") };
    QTest::newRow("negative uc") << QByteArray("{\\rtf1\\uc-5 \\u259 ab}") << QStringList { u(u"ăab") };
    QTest::newRow("font index 2147483647")
        << QByteArray("{\\rtf1{\\fonttbl{\\f2147483647 X;}}\\f2147483647 a\\f-2147483648 b}")
        << QStringList { "ab" };
    QByteArray fonts = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < 40000; ++i)
        fonts += "{\\f" + QByteArray::number(i) + " A;}";
    QTest::newRow("40000 fonts") << fonts + "}\\f39999 ok}" << QStringList { "ok" };
    QTest::newRow("long font name") << "{\\rtf1{\\fonttbl{\\f1 " + QByteArray(10000, 'n') + ";}}\\f1 hello}"
                                    << QStringList { "hello" };
    QTest::newRow("colour index huge")
        << QByteArray("{\\rtf1{\\colortbl;\\red9;}\\cf2147483647\\highlight99999999999 a}")
        << QStringList { "a" };
    QTest::newRow("backslash at eof") << QByteArray("{\\rtf1 a\\") << QStringList { "a" };
    QTest::newRow("hex at eof") << QByteArray("{\\rtf1 a\\'4") << QStringList { "a" };
    QTest::newRow("u at eof") << QByteArray("{\\rtf1 a\\u") << QStringList { u(u"a\uFFFD") };
    QTest::newRow("uc skip at eof") << QByteArray("{\\rtf1\\uc5 a\\u259 x") << QStringList { u(u"aă") };
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}b") << QStringList { "a" };
    QTest::newRow("NULs everywhere") << bytes("{\\rtf1 a\0\0b\\par\0c\0}") << QStringList { "ab", "c" };
    QTest::newRow("not rtf") << QByteArray("hello") << QStringList {};
    QTest::newRow("double-byte pairs with ASCII trails") << "{\\rtf1\\ansi\\ansicpg932 "
            + QByteArray("\x83@").repeated(500000) + "}" << QStringList { QString(500000, QChar(0x30A1)) };
    QTest::newRow("a million pars") << "{\\rtf1 " + QByteArray("\\par").repeated(1000000) + "}"
                                    << QStringList(1000000, QString());
}

void TestRtfHostile::hostile()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, lines);
    const RichDocument document = ReadRtf(rtf);
    QCOMPARE(document.lines(), lines);
}

void TestRtfHostile::hostile_growsLinearly_data()
{
    // The input for n is head + n times opening + middle + n times closing + tail.
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("opening");
    QTest::addColumn<QByteArray>("middle");
    QTest::addColumn<QByteArray>("closing");
    QTest::addColumn<QByteArray>("tail");

    QTest::newRow("deep groups, balanced") << QByteArray("{\\rtf1 a") << QByteArray("{") << QByteArray("x")
                                           << QByteArray("}") << QByteArray("b\\par}");
    QTest::newRow("deep groups, unclosed")
        << QByteArray("{\\rtf1 a") << QByteArray("{") << QByteArray("x") << QByteArray() << QByteArray();
    QTest::newRow("hidden past the depth cap")
        << QByteArray("{\\rtf1 ") << QByteArray("{") << QByteArray("\\v ") << QByteArray("}")
        << QByteArray("shown}");
    QTest::newRow("long control word") << QByteArray("{\\rtf1 a\\") << QByteArray("x") << QByteArray("123 b}")
                                       << QByteArray() << QByteArray();
    QTest::newRow("font entries") << QByteArray("{\\rtf1{\\fonttbl") << QByteArray("{\\f1 A;}")
                                  << QByteArray("}\\f1 ok}") << QByteArray() << QByteArray();
    QTest::newRow("long font name") << QByteArray("{\\rtf1{\\fonttbl{\\f1 ") << QByteArray("n")
                                    << QByteArray(";}}\\f1 hello}") << QByteArray() << QByteArray();
    QTest::newRow("colour entries") << QByteArray("{\\rtf1{\\colortbl;") << QByteArray("\\red1;")
                                    << QByteArray("}\\cf1 a}") << QByteArray() << QByteArray();
    QTest::newRow("double-byte pairs with ASCII trails")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 ") << QByteArray("\x83@") << QByteArray("}") << QByteArray()
        << QByteArray();
    QTest::newRow("hex escapes") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 ") << QByteArray("\\'e3")
                                 << QByteArray("}") << QByteArray() << QByteArray();
    QTest::newRow("unicode escapes") << QByteArray("{\\rtf1 ") << QByteArray("\\u259?") << QByteArray("}")
                                     << QByteArray() << QByteArray();
    QTest::newRow("pars") << QByteArray("{\\rtf1 ") << QByteArray("\\par") << QByteArray("}") << QByteArray()
                          << QByteArray();
    QTest::newRow("formatted runs") << QByteArray("{\\rtf1 ") << QByteArray("{\\b a}b") << QByteArray("}")
                                    << QByteArray() << QByteArray();
    QTest::newRow("skipped group") << QByteArray("{\\rtf1 {\\*\\zzz ") << QByteArray("abc{\\x}")
                                   << QByteArray("}}") << QByteArray() << QByteArray();
    QTest::newRow("NULs") << QByteArray("{\\rtf1 a") << bytes("\0") << QByteArray("b}") << QByteArray()
                          << QByteArray();
    QTest::newRow("binary data") << QByteArray("{\\rtf1 a") << QByteArray("\\bin1 x") << QByteArray("}")
                                 << QByteArray() << QByteArray();
}

void TestRtfHostile::hostile_growsLinearly()
{
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, opening);
    QFETCH(QByteArray, middle);
    QFETCH(QByteArray, closing);
    QFETCH(QByteArray, tail);
    const auto input
        = [&](int n) { return head + opening.repeated(n) + middle + closing.repeated(n) + tail; };
    const double growth
        = scaling::GrowthOnFourTimesTheInput(input, [](const QByteArray &rtf) { ReadRtf(rtf); });
    QVERIFY2(growth < scaling::linearGrowthBound, qPrintable(QString::number(growth)));
}

QTEST_GUILESS_MAIN(TestRtfHostile)
#include "tst_rtfhostile.moc"
