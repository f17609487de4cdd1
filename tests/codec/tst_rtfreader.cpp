// The tables below are ASCII literals; implicit conversion keeps them readable.
#undef QT_NO_CAST_FROM_ASCII

#include "Literals.h"
#include "codec/CodePages.h"
#include "codec/RichDocument.h"
#include "codec/rtf/Reader.h"

#include <QTest>

using namespace codec;
using namespace literals;

namespace {

const QString lineBreak = QString(QChar(0x2028));

}   // namespace

// What the reader makes of a file's text: the lines, the characters and their code pages.
class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    void sniff_data();
    void sniff();
    void lines_data();
    void lines();
    void programFile_plainList_hasNoRuns();
    void everyNamedCharset_decodesInItsPage();
};

void TestRtfReader::sniff_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("rtf") << QByteArray("{\\rtf1 x}") << true;
    QTest::newRow("urtf") << QByteArray("{\\urtf1 x}") << true;
    QTest::newRow("bom and blanks") << QByteArray("\xEF\xBB\xBF \r\n\t{\\rtf1}") << true;
    QTest::newRow("plain text") << QByteArray("Pop Ana 555\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("brace only") << QByteArray("{\\rt") << false;
}

void TestRtfReader::sniff()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, rtf);
    QCOMPARE(LooksLikeRtf(bytes), rtf);
}

void TestRtfReader::lines_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("lines");

    // delimiters and whitespace
    QTest::newRow("one space after a word is eaten")
        << QByteArray("{\\rtf1 \\b  two}") << QStringList { " two" };
    QTest::newRow("space after a parameter is eaten")
        << QByteArray("{\\rtf1\\fs20  x}") << QStringList { " x" };
    QTest::newRow("space after a symbol is text")
        << QByteArray("{\\rtf1 a\\~ b}") << QStringList { u(u"a\u00A0 b") };
    QTest::newRow("runs of spaces kept")
        << QByteArray("{\\rtf1 Pop  Ana  555\\par}") << QStringList { "Pop  Ana  555" };
    QTest::newRow("CR LF are not text") << QByteArray("{\\rtf1 a\r\nb\rc\nd}") << QStringList { "abcd" };
    QTest::newRow("backslash LF is par")
        << QByteArray("{\\rtf1 A\\\nB\\\nC\\\n}") << QStringList { "A", "B", "C" };
    QTest::newRow("backslash CR is par") << QByteArray("{\\rtf1 A\\\rB}") << QStringList { "A", "B" };
    QTest::newRow("spaces after newline kept")
        << QByteArray("{\\rtf1 a\\par\n    b}") << QStringList { "a", "    b" };
    QTest::newRow("raw tab") << QByteArray("{\\rtf1 a\tb}") << QStringList { "a\tb" };
    QTest::newRow("NUL dropped") << bytes("{\\rtf1 a\0b\\par}\r\n\0") << QStringList { "ab" };
    QTest::newRow("text after the last brace ignored")
        << QByteArray("{\\rtf1 a\\par}b\\par c") << QStringList { "a" };
    QTest::newRow("missing closing brace keeps text")
        << QByteArray("{\\rtf1 a\\par b") << QStringList { "a", "b" };
    QTest::newRow("word parameter negative") << QByteArray("{\\rtf1 \\li-100 x}") << QStringList { "x" };
    QTest::newRow("dash without digit is text") << QByteArray("{\\rtf1 \\foo-x}") << QStringList { "-x" };

    // paragraphs
    QTest::newRow("final empty paragraph dropped") << QByteArray("{\\rtf1 a\\par}") << QStringList { "a" };
    QTest::newRow("next-to-last par kept") << QByteArray("{\\rtf1 a\\par\\par}") << QStringList { "a", "" };
    QTest::newRow("last segment with text kept")
        << QByteArray("{\\rtf1 a\\par b}") << QStringList { "a", "b" };
    QTest::newRow("empty document") << QByteArray("{\\rtf1}") << QStringList {};
    QTest::newRow("sect ends a paragraph") << QByteArray("{\\rtf1 a\\sect b}") << QStringList { "a", "b" };
    QTest::newRow("line page column break")
        << QByteArray("{\\rtf1 a\\line b\\page c\\column d}")
        << QStringList { "a" + lineBreak + "b" + lineBreak + "c" + lineBreak + "d" };

    // special characters
    QTest::newRow("special characters")
        << QByteArray("{\\rtf1 \\emdash\\endash\\lquote\\rquote\\ldblquote\\rdblquote\\bullet"
                      "\\emspace\\enspace\\qmspace\\zwj\\zwnj\\ltrmark\\rtlmark\\tab\\-\\_\\{\\}\\\\}")
        << QStringList { u(u"\u2014\u2013\u2018\u2019\u201C\u201D\u2022\u2003\u2002\u2005\u200D\u200C"
                           u"\u200E\u200F\t\u00AD\u2011{}\\") };
    QTest::newRow("ignored symbols") << QByteArray("{\\rtf1 a\\:b\\|c\\chpgn d}") << QStringList { "abcd" };

    // code pages
    QTest::newRow("ansicpg1250 hex") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \\'e3\\'ba}")
                                     << QStringList { u(u"ăş") };
    QTest::newRow("raw 8-bit bytes") << QByteArray("{\\rtf1\\ansi\\ansicpg1250 \xe3\xba}")
                                     << QStringList { u(u"ăş") };
    QTest::newRow("font charset beats ansicpg") << QByteArray(
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 Arial;}}\\f0 \\'e3\\'ba}")
                                                << QStringList { u(u"ăş") };
    QTest::newRow("fcharset0 beats ansicpg1250")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 \\'e3\\'ba}")
        << QStringList { u(u"ãº") };
    QTest::newRow("deff font charset before any f")
        << QByteArray("{\\rtf1\\ansi\\deff1{\\fonttbl{\\f1\\fcharset204 Cyr;}}\\'c0}")
        << QStringList { u(u"А") };
    QTest::newRow("current font charset") << QByteArray(
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset161 G;}}\\f1\\'e1\\f0\\'e1}")
                                          << QStringList { u(u"αá") };
    QTest::newRow("braceless font table") << QByteArray(
        "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss\\fcharset0 Helvetica;\\f1\\fnil\\fcharset238 X;}\\f1\\'e3}")
                                          << QStringList { u(u"ă") };
    QTest::newRow("pc") << QByteArray("{\\rtf1\\pc \\'f1\\'f2\\'f3}") << QStringList { u(u"±≥≤") };
    QTest::newRow("pca") << QByteArray("{\\rtf1\\pca \\'f1\\'f2\\'f3}") << QStringList { u(u"±‗¾") };
    QTest::newRow("mac") << QByteArray("{\\rtf1\\mac \\'f1\\'f2\\'f3}") << QStringList { u(u"ÒÚÛ") };
    QTest::newRow("unknown ansicpg is 1252")
        << QByteArray("{\\rtf1\\ansi\\ansicpg99999 \\'e9}") << QStringList { u(u"é") };
    QTest::newRow("ansicpg0 is 1252")
        << QByteArray("{\\rtf1\\ansi\\ansicpg0 \\'e9}") << QStringList { u(u"é") };
    QTest::newRow("shift-jis pair") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a8}")
                                    << QStringList { u(u"お") };
    QTest::newRow("shift-jis ascii trail byte")
        << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'83@}") << QStringList { u(u"ァ") };
    QTest::newRow("dangling lead byte")
        << QByteArray("{\\rtf1\\ansi\\ansicpg936 a\\'b0}") << QStringList { u(u"a\uFFFD") };
    QTest::newRow("big5") << QByteArray("{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4}") << QStringList { u(u"中") };
    QTest::newRow("hangul charset") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset129 K;}}\\f0\\'c7\\'d1}")
                                    << QStringList { u(u"한") };
    QTest::newRow("ansicpg65001") << QByteArray("{\\rtf1\\ansi\\ansicpg65001 \\'c4\\'83 \xc5\x9f}")
                                  << QStringList { u(u"ă ş") };
    QTest::newRow("urtf") << QByteArray("{\\urtf1 \xc4\x83\xf0\x9f\x92\xa9}")
                          << QStringList { u(u"ă\U0001F4A9") };
    QTest::newRow("symbol charset") << QByteArray("{\\rtf1{\\fonttbl{\\f2\\fcharset2 Symbol;}}\\f2\\'b7}")
                                    << QStringList { u(u"\uF0B7") };
    // A raw byte is the same character as its \'hh escape, in the Symbol font too.
    QTest::newRow("symbol charset, raw and escaped alike")
        << QByteArray("{\\rtf1{\\fonttbl{\\f2\\fcharset2 Symbol;}}\\f2 a\\'61\\'b7\xb7}")
        << QStringList { u(u"\uF061\uF061\uF0B7\uF0B7") };
    QTest::newRow("mac hebrew charset")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset83 H;}}\\f0\\'e0\\'f9}")
        << QStringList { u(u"\u05D0\u05E9") };
    QTest::newRow("mac thai charset") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset87 T;}}\\f0\\'e0\\'a1}")
                                      << QStringList { u(u"\u0E40\u0E01") };
    QTest::newRow("invalid hex dropped") << QByteArray("{\\rtf1 a\\'zzb\\'4gc}") << QStringList { "abc" };
    QTest::newRow("hex 00 dropped") << QByteArray("{\\rtf1 a\\'00b}") << QStringList { "ab" };

    // Unicode
    QTest::newRow("u with fallback") << QByteArray("{\\rtf1 \\u259?x}") << QStringList { u(u"ăx") };
    QTest::newRow("u with hex fallback") << QByteArray("{\\rtf1 \\u8217\\'92s}") << QStringList { u(u"’s") };
    QTest::newRow("u negative") << QByteArray("{\\rtf1 \\u-3913?}") << QStringList { u(u"\uF0B7") };
    QTest::newRow("u delimiter space not counted")
        << QByteArray("{\\rtf1 \\u259 ?b}") << QStringList { u(u"ăb") };
    QTest::newRow("uc0") << QByteArray("{\\rtf1\\uc0 \\u259 b}") << QStringList { u(u"ăb") };
    QTest::newRow("uc2 skips two") << QByteArray("{\\rtf1\\uc2 \\u24180\\'94\\'4ex}")
                                   << QStringList { u(u"年x") };
    QTest::newRow("uc is group scoped")
        << QByteArray("{\\rtf1 {\\uc0 \\u259}\\u259?x}") << QStringList { u(u"ăăx") };
    QTest::newRow("brace ends skipping")
        << QByteArray("{\\rtf1\\uc2 a\\u259{?}bc}") << QStringList { u(u"aă?bc") };
    QTest::newRow("control word counts as one")
        << QByteArray("{\\rtf1\\uc2 \\u259\\b\\i x}") << QStringList { u(u"ăx") };
    QTest::newRow("bin counts as one")
        << QByteArray("{\\rtf1 \\u259\\bin3 {}\\x}") << QStringList { u(u"ăx") };
    QTest::newRow("invalid hex fallback")
        << QByteArray("x\\u345\\'3?x").prepend("{\\rtf1 ").append("}") << QStringList { u(u"xřx") };
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-9047?}")
                                    << QStringList { u(u"\U0001F4A9") };
    QTest::newRow("lone high surrogate")
        << QByteArray("{\\rtf1 a\\u-10179?b}") << QStringList { u(u"a\uFFFDb") };
    QTest::newRow("lone low surrogate")
        << QByteArray("{\\rtf1 a\\u-9047?b}") << QStringList { u(u"a\uFFFDb") };
    QTest::newRow("mismatched pair") << QByteArray("{\\rtf1 \\u-10179?\\u-10179?x}")
                                     << QStringList { u(u"\uFFFD\uFFFDx") };
    QTest::newRow("high surrogate at end")
        << QByteArray("{\\rtf1 a\\u-10179?}") << QStringList { u(u"a\uFFFD") };
    QTest::newRow("u0") << QByteArray("{\\rtf1 a\\u0?b}") << QStringList { u(u"a\uFFFDb") };
    QTest::newRow("u out of range") << QByteArray("{\\rtf1 \\u70000?\\u-40000?}")
                                    << QStringList { u(u"\uFFFD\uFFFD") };
    // \uN is a signed 16-bit number: U+8000 and above come as negatives, U+8000 itself as
    // the most negative; some writers give the unsigned value instead.
    QTest::newRow("u signed ends") << QByteArray("{\\rtf1 \\u32767?\\u-32768?\\u-32767?\\u-1?}")
                                   << QStringList { u(u"\u7FFF\u8000\u8001\uFFFF") };
    QTest::newRow("u unsigned ends") << QByteArray("{\\rtf1 \\u32768?\\u65535?}")
                                     << QStringList { u(u"\u8000\uFFFF") };
    QTest::newRow("u one past either end")
        << QByteArray("{\\rtf1 a\\u-32769?b\\u65536?c}") << QStringList { u(u"a\uFFFDb\uFFFDc") };
    QTest::newRow("u paragraph separator") << QByteArray("{\\rtf1 a\\u8233?b}") << QStringList { "a", "b" };
    QTest::newRow("upr takes ud") << QByteArray("{\\rtf1 {\\upr{ascii ver}{\\*\\ud{unicode ver \\u259?}}}}")
                                  << QStringList { u(u"unicode ver ă") };

    // destinations
    QTest::newRow("ignorable destination") << QByteArray("{\\rtf1 a{\\*\\zzz b}c}") << QStringList { "ac" };
    QTest::newRow("star mid-group is no destination")
        << QByteArray("{\\rtf1 {\\b0\\*\\cs7 text}}") << QStringList { "text" };
    QTest::newRow("star after par is no destination")
        << QByteArray("{\\rtf1 a{\\par\\*\\foo x}b}") << QStringList { "a", "xb" };
    QTest::newRow("star after tab is no destination")
        << QByteArray("{\\rtf1 a{\t\\*\\foo x}b}") << QStringList { "a\txb" };
    QTest::newRow("star after a line end is a destination")
        << QByteArray("{\\rtf1 a{\r\n\\*\\foo x}b}") << QStringList { "ab" };
    QTest::newRow("unknown word keeps text") << QByteArray("{\\rtf1 a\\zzz b}") << QStringList { "ab" };
    QTest::newRow("skipped destinations")
        << QByteArray("{\\rtf1{\\info{\\title T}}{\\header H}{\\footer F}{\\footnote N}{\\pict 0a0b}"
                      "{\\object{\\*\\objdata 01}}{\\stylesheet{\\s0 Normal;}}{\\*\\generator G;}x}")
        << QStringList { "x" };
    QTest::newRow("list table entry outside its table") << QByteArray(
        "{\\rtf1 {\\par}{\\list{\\listlevel{\\leveltext \\'02\\'00.;}}{\\listname L1;}\\listid7}"
        "{\\listoverride\\listid7{\\lfolevel\\listoverrideformat x}}}")
                                                        << QStringList { "" };
    QTest::newRow("field keeps result")
        << QByteArray("{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}}!}")
        << QStringList { "link!" };
    QTest::newRow("field without result")
        << QByteArray("{\\rtf1 a{\\field{\\*\\fldinst PAGE}}b}") << QStringList { "ab" };
    QTest::newRow("listtext and pntext dropped")
        << QByteArray("{\\rtf1 {\\listtext\\'b7\\tab}one\\par{\\pntext 1.\\tab}two\\par}")
        << QStringList { "one", "two" };
    QTest::newRow("hidden text dropped")
        << QByteArray("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}") << QStringList { "abd" };
    QTest::newRow("htmltag skipped, htmlrtf kept")
        << QByteArray("{\\rtf1\\ansi\\fromhtml1 {\\*\\htmltag <p>}\\htmlrtf x\\htmlrtf0 y}")
        << QStringList { "xy" };
    QTest::newRow("nested rtf1 group")
        << QByteArray("{\\rtf1 a{\\rtf1 b}c\\par d}") << QStringList { "abc", "d" };
    QTest::newRow("bin data not parsed")
        << QByteArray("{\\rtf1 text{\\*\\shprslt\\bin24 }{\\par MUST NOT IMPORT}}}\\par}")
        << QStringList { "text" };

    // tables
    QTest::newRow("table row") << QByteArray("{\\rtf1 \\trowd\\intbl a\\cell b\\cell\\row c\\par}")
                               << QStringList { "a\tb", "c" };
    QTest::newRow("empty cells kept")
        << QByteArray("{\\rtf1 \\intbl a\\cell\\cell\\cell\\row}") << QStringList { "a\t\t" };
    QTest::newRow("par inside cell") << QByteArray(
        "{\\rtf1 \\intbl a\\par b\\cell c\\cell\\row\\pard d\\par}")
                                     << QStringList { "a" + lineBreak + "b\tc", "d" };
    QTest::newRow("nested table") << QByteArray(
        "{\\rtf1 \\intbl x\\nestcell y\\nestcell{\\*\\nesttableprops\\nestrow}z\\cell w\\cell\\row}")
                                  << QStringList { "x\ty" + lineBreak + "z\tw" };
}

void TestRtfReader::lines()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, lines);
    const RichDocument document = ReadRtf(rtf);
    QCOMPARE(document.lines(), lines);
    QVERIFY(!document.text.contains(QLatin1Char('\r')));
    QVERIFY(!document.text.contains(QChar(0x2029)));
    QVERIFY(!document.text.contains(QChar(0)));
}

void TestRtfReader::programFile_plainList_hasNoRuns()
{
    // The exact form our writer produces: read back, a plain list carries no formatting.
    const QByteArray file
        = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 MS Sans Serif;}}"
          "{\\*\\generator carte de telefon 1.0.0.0;}\\uc1\\pard\\f0\\fs16 Pop  Ana  555\\par\r\n"
          "\\{braces\\} and \\\\backslash\\par\r\n"
          "\\u259\\'e3\\u226\\'e2\\u238\\'ee\\u537\\'ba\\u539\\'fe\\par\r\n\\par\r\n}";
    const RichDocument document = ReadRtf(file);
    QCOMPARE(
        document.lines(), (QStringList { "Pop  Ana  555", "{braces} and \\backslash", u(u"ăâîșț"), "" }));
    QVERIFY(document.runs.empty());
}

void TestRtfReader::everyNamedCharset_decodesInItsPage()
{
    // A charset that names a code page must not quietly read as the 1252 fallback.
    const CodePage fallback = CodePage::forNumber(1252);
    for (int charset = 0; charset < 256; ++charset) {
        const int number = CodePage::numberForCharset(charset);
        if (number != 0)
            QCOMPARE(CodePage::forCharset(charset, fallback).number(), number);
    }
}

QTEST_GUILESS_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
