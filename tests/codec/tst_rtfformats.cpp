// The tables below are ASCII literals; implicit conversion keeps them readable.
#undef QT_NO_CAST_FROM_ASCII

#include "Literals.h"
#include "codec/RichDocument.h"
#include "codec/rtf/Reader.h"
#include "support/Formats.h"

#include <QTest>

using namespace codec;
using namespace literals;
using support::Bold;

Q_DECLARE_METATYPE(codec::RichDocument)

// What the reader makes of a file's character formatting: the runs and their formats.
class TestRtfFormats : public QObject {
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
};

void TestRtfFormats::runs_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<RichDocument>("expected");

    const QByteArray header
        = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 MS Sans Serif;}"
          "{\\f1\\fnil Courier New;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
          "\\uc1\\pard\\f0\\fs16 ";
    const auto make = [](std::initializer_list<std::pair<QString, CharacterFormat>> pieces) {
        RichDocument document;
        for (const auto &piece : pieces) {
            if (piece.first == QLatin1String("\n"))
                document.endParagraph();
            else
                document.append(piece.first, piece.second);
        }
        return document;
    };
    CharacterFormat italicUnderline;
    italicUnderline.italic = italicUnderline.underline = true;
    CharacterFormat strike;
    strike.strikeOut = true;
    CharacterFormat courier;
    courier.fontFamily = QStringLiteral("Courier New");
    CharacterFormat big;
    big.halfPoints = 28;
    CharacterFormat red;
    red.foreground = Rgb { 255, 0, 0 };
    CharacterFormat blueBackground;
    blueBackground.background = Rgb { 0, 0, 255 };

    QTest::newRow("plain list has no runs")
        << header + "a\\par b\\par}" << make({ { "a", {} }, { "\n", {} }, { "b", {} }, { "\n", {} } });
    QTest::newRow("bold group") << header + "a{\\b b}c\\par}"
                                << make({ { "a", {} }, { "b", Bold() }, { "c", {} }, { "\n", {} } });
    QTest::newRow("toggle off") << header + "\\b a\\b0 b\\par}"
                                << make({ { "a", Bold() }, { "b", {} }, { "\n", {} } });
    QTest::newRow("run split at paragraph") << header
            + "\\b a\\par b\\par}" << make({ { "a", Bold() }, { "\n", {} }, { "b", Bold() }, { "\n", {} } });
    QTest::newRow("underline kinds") << header + "\\i\\uldb a\\ulnone b\\par}"
                                     << make({ { "a", italicUnderline },
                                            { "b",
                                                [] {
                                                    CharacterFormat f;
                                                    f.italic = true;
                                                    return f;
                                                }() },
                                            { "\n", {} } });
    QTest::newRow("strike and striked1")
        << header + "{\\strike a}{\\striked1 b}\\par}" << make({ { "ab", strike }, { "\n", {} } });
    QTest::newRow("other font") << header + "{\\f1 a}\\f0 b\\par}"
                                << make({ { "a", courier }, { "b", {} }, { "\n", {} } });
    QTest::newRow("unknown font index")
        << header + "{\\f2147483647 a}\\par}" << make({ { "a", {} }, { "\n", {} } });
    QTest::newRow("size") << header + "{\\fs28 a}\\fs16 b\\par}"
                          << make({ { "a", big }, { "b", {} }, { "\n", {} } });
    QTest::newRow("colours") << header + "{\\cf1 a}{\\highlight2 b}{\\cb2 c}{\\cf0 d}{\\cf99 e}\\par}"
                             << make({ { "a", red }, { "bc", blueBackground }, { "de", {} }, { "\n", {} } });
    QTest::newRow("plain resets") << header + "\\b\\i a\\plain\\fs16 b\\par}"
                                  << make({ { "a",
                                                [] {
                                                    CharacterFormat f;
                                                    f.bold = f.italic = true;
                                                    return f;
                                                }() },
                                         { "b", {} }, { "\n", {} } });
    CharacterFormat symbol;
    symbol.fontFamily = QStringLiteral("Symbol");
    QTest::newRow("symbol font keeps its name")
        << QByteArray("{\\rtf1\\deff0{\\fonttbl{\\f0 A;}{\\f1\\fcharset2 Symbol;}}{\\f1 a}b}")
        << make({ { u(u"\uF061"), symbol }, { "b", {} }, { "\n", {} } });
    // A name cut at its limit must not end in a blank that a second reading would trim.
    CharacterFormat cutName;
    cutName.fontFamily = QString(255, QLatin1Char('n'));
    QTest::newRow("font name cut at a blank is trimmed")
        << "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 " + QByteArray(255, 'n') + " tail;}}{\\f1 a}b}"
        << make({ { "a", cutName }, { "b", {} }, { "\n", {} } });
    CharacterFormat cyrillicName;
    cyrillicName.fontFamily = u(u"АБ");
    QTest::newRow("font name in its own code page")
        << QByteArray(
               "{\\rtf1\\deff0{\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset204 \\'c0\\'c1;}}{\\f1 x}y}")
        << make({ { "x", cyrillicName }, { "y", {} }, { "\n", {} } });
    QTest::newRow("default size is rtf's own without fs") << QByteArray("{\\rtf1{\\fs20 a}b}")
                                                          << make({ { "a",
                                                                        [] {
                                                                            CharacterFormat f;
                                                                            f.halfPoints = 20;
                                                                            return f;
                                                                        }() },
                                                                 { "b", {} }, { "\n", {} } });
}

void TestRtfFormats::runs()
{
    QFETCH(QByteArray, rtf);
    QFETCH(RichDocument, expected);
    const RichDocument document = ReadRtf(rtf);
    QCOMPARE(document.text, expected.text);
    QCOMPARE(document.runs.size(), expected.runs.size());
    QVERIFY(document == expected);
}

QTEST_GUILESS_MAIN(TestRtfFormats)
#include "tst_rtfformats.moc"
