#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "support/Formats.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTest>

using namespace codec;

Q_DECLARE_METATYPE(codec::RichDocument)

using support::Bold;

namespace {

const QByteArray plainHeader
    = QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 MS Sans Serif;}}"
                        "{\\*\\generator carte de telefon 1.0.0.0;}\\uc1\\pard\\plain\\f0\\fs16 ");

RichDocument document(
    const QString &text, std::vector<CharacterFormat> formats = {}, std::vector<FormatRun> runs = {})
{
    RichDocument result;
    result.text = text;
    result.formats = std::move(formats);
    result.runs = std::move(runs);
    return result;
}

}   // namespace

class TestRtfWriter : public QObject {
    Q_OBJECT

private slots:
    void write_plainText_givesExactBytes_data();
    void write_plainText_givesExactBytes();
    void write_formattedRuns_givesExactBytes_data();
    void write_formattedRuns_givesExactBytes();
    void write_cp1250Character_givesItsByteAsFallback_data();
    void write_cp1250Character_givesItsByteAsFallback();
    void write_anyText_givesSevenBitBytesOnly();
};

void TestRtfWriter::write_plainText_givesExactBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("body");

    QTest::newRow("empty document") << QString() << QByteArray();
    QTest::newRow("one empty paragraph") << u"\n"_qs << QByteArray("\\par\r\n");
    QTest::newRow("empty last paragraph") << u"a\n\n"_qs << QByteArray("a\\par\r\n\\par\r\n");
    QTest::newRow("runs of blanks") << u"  Pop  Ana  \n"_qs << QByteArray("  Pop  Ana  \\par\r\n");
    QTest::newRow("escapes") << u"\\a{b}\\\n"_qs << QByteArray("\\\\a\\{b\\}\\\\\\par\r\n");
    QTest::newRow("escapes inside long ascii")
        << u"0123456789{abcdefghijklmnop}qrstuvwxyz\\ă0123456789abcdef\n"_qs
        << QByteArray("0123456789\\{abcdefghijklmnop\\}qrstuvwxyz\\\\\\u259\\'e30123456789abcdef\\par\r\n");
    QTest::newRow("semicolon in text is kept") << u"a;b\n"_qs << QByteArray("a;b\\par\r\n");
    QTest::newRow("tab before digit and blank")
        << u"a\t1\t x\n"_qs << QByteArray("a\\tab 1\\tab  x\\par\r\n");
    QTest::newRow("line break") << u"a\u2028b\n"_qs << QByteArray("a\\line b\\par\r\n");
    QTest::newRow("romanian breve and circumflex")
        << u"ăâîĂÂÎ\n"_qs
        << QByteArray("\\u259\\'e3\\u226\\'e2\\u238\\'ee\\u258\\'c3\\u194\\'c2\\u206\\'ce\\par\r\n");
    QTest::newRow("romanian comma below")
        << u"șțȘȚ\n"_qs << QByteArray("\\u537\\'ba\\u539\\'fe\\u536\\'aa\\u538\\'de\\par\r\n");
    QTest::newRow("romanian cedilla")
        << u"şţŞŢ\n"_qs << QByteArray("\\u351\\'ba\\u355\\'fe\\u350\\'aa\\u354\\'de\\par\r\n");
    QTest::newRow("cp1250 punctuation")
        << u"€„–\n"_qs << QByteArray("\\u8364\\'80\\u8222\\'84\\u8211\\'96\\par\r\n");
    QTest::newRow("no cp1250 byte") << u"ф\n"_qs << QByteArray("\\u1092\\'3f\\par\r\n");
    // Bytes that cp1250 leaves undefined are no stand-in for the C1 controls.
    QTest::newRow("C1 control, no cp1250 byte")
        << u"\u0081\u0098\n"_qs << QByteArray("\\u129\\'3f\\u152\\'3f\\par\r\n");
    QTest::newRow("code unit above 0x7fff") << u"\uFF01\n"_qs << QByteArray("\\u-255\\'3f\\par\r\n");
    QTest::newRow("beyond the basic plane")
        << u"a\U0001F600b\n"_qs << QByteArray("a\\u-10179\\'3f\\u-8704\\'3fb\\par\r\n");
    QTest::newRow("lone surrogate becomes replacement")
        << (QString(u'a') + QChar(0xD800) + u"b\n"_qs) << QByteArray("a\\u-3\\'3fb\\par\r\n");
    QTest::newRow("control characters escaped")
        << u"a\u0001b\u007fc\u001b\u000c\n"_qs << QByteArray("a\\'01b\\'7fc\\'1b\\'0c\\par\r\n");
    QTest::newRow("unterminated last paragraph kept") << u"a\nb"_qs << QByteArray("a\\par\r\nb\\par\r\n");
}

void TestRtfWriter::write_plainText_givesExactBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, body);
    QCOMPARE(WriteRtf(document(text), phonebook::SaveFormat()), plainHeader + body + "}\r\n");
}

void TestRtfWriter::write_formattedRuns_givesExactBytes_data()
{
    QTest::addColumn<RichDocument>("input");
    QTest::addColumn<QByteArray>("expected");

    CharacterFormat everything;
    everything.bold = everything.italic = everything.underline = everything.strikeOut = true;
    everything.fontFamily = u"Arial"_qs;
    everything.halfPoints = 24;
    everything.foreground = Rgb { 255, 0, 0 };
    everything.background = Rgb { 0, 128, 255 };
    QTest::newRow("every property")
        << document(u"a b c\n"_qs, { everything }, { { 2, 1, 0 } })
        << QByteArray("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 MS Sans Serif;}"
                      "{\\f1\\fnil\\fcharset238 "
                      "Arial;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue255;}"
                      "{\\*\\generator carte de telefon 1.0.0.0;}\\uc1\\pard\\plain\\f0\\fs16 "
                      "a {\\b\\i\\ul\\strike\\f1\\fs24\\cf1\\highlight2 b} c\\par\r\n}\r\n");

    QTest::newRow("no colour table without colours")
        << document(u"xy\n"_qs, { Bold() }, { { 0, 1, 0 } }) << plainHeader + "{\\b x}y\\par\r\n}\r\n";

    CharacterFormat red;
    red.foreground = Rgb { 255, 0, 0 };
    CharacterFormat redOnRed = red;
    redOnRed.background = Rgb { 255, 0, 0 };
    CharacterFormat courier;
    courier.fontFamily = u"Courier;New"_qs;
    CharacterFormat courierItalic = courier;
    courierItalic.italic = true;
    QTest::newRow("tables hold each font and colour once")
        << document(u"abcd\n"_qs, { red, redOnRed, courier, courierItalic },
               { { 0, 1, 0 }, { 1, 1, 1 }, { 2, 1, 2 }, { 3, 1, 3 } })
        << QByteArray("{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 MS Sans Serif;}"
                      "{\\f1\\fnil\\fcharset238 Courier\\'3bNew;}}{\\colortbl;\\red255\\green0\\blue0;}"
                      "{\\*\\generator carte de telefon 1.0.0.0;}\\uc1\\pard\\plain\\f0\\fs16 "
                      "{\\cf1 a}{\\cf1\\highlight1 b}{\\f1 c}{\\i\\f1 d}\\par\r\n}\r\n");

    CharacterFormat asDefault;
    asDefault.fontFamily = u"MS Sans Serif"_qs;
    asDefault.halfPoints = 16;
    QTest::newRow("default font and size need no group")
        << document(u"ab\n"_qs, { asDefault }, { { 0, 1, 0 } }) << plainHeader + "ab\\par\r\n}\r\n";

    QTest::newRow("paragraph mark stays outside the group") << document(u"ab\n\ncd\n"_qs, { Bold() },
        { { 1, 5, 0 } }) << plainHeader + "a{\\b b}\\par\r\n\\par\r\n{\\b cd}\\par\r\n}\r\n";

    QTest::newRow("tab and escapes inside a group") << document(u"\t{x}\n"_qs, { Bold() }, { { 0, 4, 0 } })
                                                    << plainHeader + "{\\b \\tab \\{x\\}}\\par\r\n}\r\n";

    QTest::newRow("overlapping, out of range and unknown runs are clipped")
        << document(u"abcdef\n"_qs, { Bold() },
               { { 1, 2, 0 }, { 2, 2, 0 }, { 4, 1, 7 }, { 5, 100, 0 }, { -3, 1, 0 } })
        << plainHeader + "a{\\b bc}{\\b d}e{\\b f}\\par\r\n}\r\n";
}

void TestRtfWriter::write_formattedRuns_givesExactBytes()
{
    QFETCH(RichDocument, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(WriteRtf(input, phonebook::SaveFormat()), expected);
}

void TestRtfWriter::write_cp1250Character_givesItsByteAsFallback_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<QByteArray>("body");

    // Qt's own code page decoder is the reference for the writer's table.
    QStringDecoder decoder("windows-1250");
    if (!decoder.isValid())
        QSKIP("this Qt has no windows-1250 decoder");
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const QString character = decoder.decode(QByteArray(1, char(byte)));
        if (character.size() != 1 || character.at(0) == QChar::ReplacementCharacter
            || character.at(0).unicode() < 0xA0)
            continue;
        const QByteArray body = "\\u" + QByteArray::number(character.at(0).unicode()) + "\\'"
            + QByteArray::number(byte, 16) + "\\par\r\n";
        QTest::addRow("0x%x", byte) << character << body;
    }
}

void TestRtfWriter::write_cp1250Character_givesItsByteAsFallback()
{
    QFETCH(QString, character);
    QFETCH(QByteArray, body);
    QCOMPARE(WriteRtf(document(character + u'\n'), phonebook::SaveFormat()), plainHeader + body + "}\r\n");
}

void TestRtfWriter::write_anyText_givesSevenBitBytesOnly()
{
    // Raw 8-bit or control bytes would be read in a code page or dropped by readers.
    // Carriage returns are left out: a line of the list never holds one.
    QRandomGenerator random(20240611);
    for (int round = 0; round < 200; ++round) {
        QString text;
        for (int i = 0; i < 200; ++i)
            text.append(QChar(char16_t(random.bounded(0x10000))));
        text.remove(QLatin1Char('\r'));
        const QByteArray bytes = WriteRtf(document(text), phonebook::SaveFormat());
        for (const char byte : bytes) {
            const auto value = static_cast<unsigned char>(byte);
            QVERIFY2(value < 0x7F && (value >= 0x20 || value == '\r' || value == '\n'),
                qPrintable(u"byte 0x%1 in round %2"_qs.arg(uint(value), 2, 16, QLatin1Char('0')).arg(round)));
        }
    }
}

QTEST_GUILESS_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
