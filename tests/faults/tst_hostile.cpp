#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "richtext/DocumentFiles.h"
#include "support/HostileFiles.h"
#include "support/TestFiles.h"
#include "system/Exception.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// Files made to break a reader (deep nesting, huge numbers, endless destinations, cut
// short, binary data): each must load in bounded time and give back the text that can
// be recovered.
class HostileTest : public QObject {
    Q_OBJECT

private slots:
    void readDocument_hostileInput_recoversText_data();
    void readDocument_hostileInput_recoversText();
    void loadFromFile_hostileInput_fillsBox_data();
    void loadFromFile_hostileInput_fillsBox();
    void loadAndSave_manyFormats_keepsThem();
};

namespace {

// A hang detector, not a benchmark: a linear reader takes well under a second for each.
constexpr qint64 timeLimitMilliseconds = 20'000;

// Where a file is big enough that a quadratic pass would still pass the hang detector:
// one second plus 2 ms per kilobyte, a tenth of what a linear reader needs on a busy machine.
qint64 linearLimitMilliseconds(qsizetype bytes) { return 1'000 + bytes / 500; }

QByteArray repeated(const char *piece, int count) { return QByteArray(piece).repeated(count); }

QByteArray manyFonts(int count)
{
    QByteArray table = QByteArrayLiteral("{\\rtf1{\\fonttbl");
    for (int i = 0; i < count; ++i)
        table += "{\\f" + QByteArray::number(i) + "\\fcharset238 Font" + QByteArray::number(i) + ";}";
    return table + "}\\f99999 x\\f32768 y\\par}";
}

QByteArray garbage(int size, bool rtfHeader)
{
    QRandomGenerator random(20240611);
    QByteArray bytes(size, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return rtfHeader ? "{\\rtf1 " + bytes : bytes;
}

// What a reader promises of every document (RichDocument.h).
void verifyWellFormed(const codec::RichDocument &document)
{
    QVERIFY(document.text.isEmpty() || document.text.endsWith(QLatin1Char('\n')));
    QVERIFY(!document.text.contains(QLatin1Char('\r')));
    QVERIFY(!document.text.contains(QChar(0x2029)));
    QVERIFY(!document.text.contains(QChar(0)));
    qsizetype end = 0;
    for (const codec::FormatRun &run : document.runs) {
        QVERIFY(run.start >= end && run.length > 0 && run.start + run.length <= document.text.size());
        QVERIFY(run.format >= 0 && std::size_t(run.format) < document.formats.size());
        end = run.start + run.length;
    }
}

}   // namespace

void HostileTest::readDocument_hostileInput_recoversText_data()
{
    // `pattern` must match the whole recovered text ('\n' ends each paragraph), where
    // the notes leave a choice (text beyond the nesting cap, the digits of an overlong
    // number) it accepts both; `lines` is checked when not negative.
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("lines");

    QTest::newRow("nesting 1,000,000 deep, closed")
        << "{\\rtf1 a" + repeated("{", 1'000'000) + "b" + repeated("}", 1'000'000) + "c\\par}"
        << QStringLiteral("ab?c\n") << 1;
    QTest::newRow("nesting 1,000,000 deep, never closed")
        << "{\\rtf1 a" + repeated("{", 1'000'000) + "b" << QStringLiteral("ab?\n") << 1;
    QTest::newRow("nesting 1,000,000 deep, closed too often")
        << "{\\rtf1 a\\par}" + repeated("}", 1'000'000) + "b" << QStringLiteral("a\n") << 1;
    QTest::newRow("unterminated groups")
        << QByteArray("{\\rtf1{\\b Popescu\\par{\\i Ionescu") << QStringLiteral("Popescu\nIonescu\n") << 2;
    QTest::newRow("backslash at the end") << QByteArray("{\\rtf1 abc\\") << QStringLiteral("abc\n") << 1;
    QTest::newRow("hex escape at the end") << QByteArray("{\\rtf1 abc\\'") << QStringLiteral("abc\n") << 1;
    QTest::newRow("hex escape with one digit at the end")
        << QByteArray("{\\rtf1 abc\\'e") << QStringLiteral("abc\n") << 1;
    QTest::newRow("control word at the end")
        << QByteArray("{\\rtf1 abc\\par") << QStringLiteral("abc\n") << 1;
    QTest::newRow("unicode at the end")
        << QByteArray("{\\rtf1 abc\\u259") << QStringLiteral("abc\u0103?\n") << 1;
    QTest::newRow("bin of 20 digits")
        << QByteArray("{\\rtf1 a\\bin99999999999999999999 xyz}b}") << QStringLiteral("a\n") << 1;
    QTest::newRow("bin beyond 32 bits")
        << QByteArray("{\\rtf1 a\\bin4294967297 xyz}b}") << QStringLiteral("a\n") << 1;
    QTest::newRow("bin negative") << QByteArray("{\\rtf1 a\\bin-5 bc}") << QStringLiteral("abc\n") << 1;
    QTest::newRow("bin holding braces")
        << QByteArray("{\\rtf1 a{\\pict\\bin6 }}}{{{}b\\par}") << QStringLiteral("ab\n") << 1;
    QTest::newRow("parameters beyond 32 bits")
        << QByteArray("{\\rtf1 \\fs99999999999 a\\f4294967297 b\\cf-99999999999 c\\b4294967296 d\\par}")
        << QStringLiteral("abcd\n") << 1;
    QTest::newRow("uc huge") << QByteArray("{\\rtf1 {\\uc99999999 \\u259 xyz} after\\par}")
                             << QStringLiteral("\u0103 after\n") << 1;
    QTest::newRow("uc negative") << QByteArray("{\\rtf1\\uc-5 \\u259 xyz\\par}")
                                 << QStringLiteral("\u0103xyz\n") << 1;
    QTest::newRow("control word of 100,000 letters")
        << "{\\rtf1 a\\" + repeated("x", 100'000) + " b\\par}" << QStringLiteral("ab\n") << 1;
    QTest::newRow("parameter of 100,000 digits")
        << "{\\rtf1 a\\fs" + repeated("9", 100'000) + " b\\par}" << QStringLiteral("a9*b\n") << 1;
    QTest::newRow("font name of 100,000 letters")
        << "{\\rtf1{\\fonttbl{\\f0 " + repeated("N", 100'000) + ";}}\\f0 x\\par}" << QStringLiteral("x\n")
        << 1;
    QTest::newRow("text after the last brace")
        << QByteArray("{\\rtf1 a\\par}b\\par c\r\n\0", 23) << QStringLiteral("a\n") << 1;
    QTest::newRow("NULs") << QByteArray("{\\rtf1 a\0b\0\\par\0}", 17) << QStringLiteral("ab\n") << 1;
    QTest::newRow("invalid hex") << QByteArray("{\\rtf1 a\\'zzb\\'4gc\\'3?d\\par}")
                                 << QStringLiteral("a(zz)?bg?c\\??d\n") << 1;
    QTest::newRow("unicode out of range and lone surrogates")
        << QByteArray("{\\rtf1\\uc0 \\u99999 \\u-99999 \\u55296 x\\u56320 y\\u-10179 \\u0 z\\par}")
        << QStringLiteral("\uFFFD\uFFFD\uFFFDx\uFFFDy\uFFFD\uFFFD?z\n") << 1;
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1\\u-10179?\\u-8704?\\par}")
                                    << QStringLiteral("\U0001F600\n") << 1;
    QTest::newRow("indices out of range")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 A;}}{\\colortbl;\\red1\\green2\\blue3;}"
                      "\\f99 a\\cf99 b\\cb2147483647 c\\s99999 d\\highlight77 e\\ls4 f\\f-1 g\\par}")
        << QStringLiteral("abcdefg\n") << 1;
    QTest::newRow("font table of 100,000 fonts") << manyFonts(100'000) << QStringLiteral("xy\n") << 1;
    QTest::newRow("a million paragraphs")
        << "{\\rtf1 " + repeated("\\par ", 1'000'000) + "}" << QString() << 1'000'000;
    QTest::newRow("nested rtf group")
        << QByteArray("{\\rtf1 a{\\rtf1 b}c\\par}") << QStringLiteral("abc\n") << 1;
    QTest::newRow("embedded object") << QByteArray(
        "{\\rtf1 a{\\object\\objemb{\\*\\objdata 01050000\\bin3 }}}}}b\\par}")
                                     << QStringLiteral("ab\n") << 1;
    QTest::newRow("binary garbage after a header") << garbage(1 << 20, true) << QString() << -1;
    QTest::newRow("binary garbage") << garbage(1 << 20, false) << QString() << -1;
    // Not UTF-8, so Windows-1250: 0xC3 is 'Ă'.
    QTest::newRow("invalid UTF-8 in a plain file")
        << QByteArray("ok \xC3\x28 end\r\n") << QStringLiteral("ok \u0102\\( end\n") << 1;
    QTest::newRow("plain line of 100 MB") << QByteArray(100 << 20, 'x') << QString() << 1;
}

void HostileTest::readDocument_hostileInput_recoversText()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, pattern);
    QFETCH(int, lines);

    QElapsedTimer timer;
    timer.start();
    const codec::RichDocument document = richtext::Decode(input);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed < timeLimitMilliseconds, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    verifyWellFormed(document);
    if (QTest::currentTestFailed())
        return;
    if (!pattern.isEmpty()) {
        const QRegularExpression expression(QRegularExpression::anchoredPattern(pattern));
        QVERIFY2(expression.match(document.text).hasMatch(),
            qPrintable(QStringLiteral("got \"%1\"").arg(document.text.left(200))));
    }
    if (lines >= 0)
        QCOMPARE(document.lineCount(), qsizetype(lines));
}

void HostileTest::loadFromFile_hostileInput_fillsBox_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("lastLine");
    QTest::newRow("nesting 1,000,000 deep")
        << "{\\rtf1 first\\par " + repeated("{", 1'000'000) + repeated("}", 1'000'000) + "last}" << 2
        << QStringLiteral("last");
    QTest::newRow("a million paragraphs") << "{\\rtf1 " + repeated("Pop  Ana  555\\par ", 1'000'000) + "end}"
                                          << 1'000'001 << QStringLiteral("end");
}

void HostileTest::loadFromFile_hostileInput_fillsBox()
{
    QFETCH(QByteArray, input);
    QFETCH(int, lines);
    QFETCH(QString, lastLine);
    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("baza.txt"));
    QVERIFY(support::WriteFile(fileName, input));
    TRichEdit box;
    QElapsedTimer timer;
    timer.start();
    box.Lines->LoadFromFile(fileName);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed < timeLimitMilliseconds, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    QCOMPARE(box.Lines->Count(), lines);
    QCOMPARE(box.Lines->Strings(lines - 1), lastLine);
}

void HostileTest::loadAndSave_manyFormats_keepsThem()
{
    const QByteArray input = hostile::manyFormats(100'000, false);
    const qint64 limit = linearLimitMilliseconds(input.size());
    QElapsedTimer timer;
    timer.start();
    const codec::RichDocument expected = richtext::Decode(input);
    const QByteArray written = codec::WriteRtf(expected, phonebook::SaveFormat());
    const qint64 codecs = timer.elapsed();
    QCOMPARE(expected.formats.size(), std::size_t(100'000));
    QVERIFY2(
        codecs < limit, qPrintable(QStringLiteral("read and write %1 ms, limit %2").arg(codecs).arg(limit)));
    QVERIFY(richtext::Decode(written) == expected);
    // The box's save builds its document a fragment at a time, as here.
    timer.restart();
    codec::RichDocument rebuilt;
    qsizetype at = 0;
    for (const codec::FormatRun &run : expected.runs) {
        rebuilt.append(QStringView(expected.text).mid(at, run.start - at), {});
        rebuilt.append(QStringView(expected.text).mid(run.start, run.length), expected.formats[run.format]);
        at = run.start + run.length;
    }
    rebuilt.append(QStringView(expected.text).mid(at), {});
    const qint64 building = timer.elapsed();
    QVERIFY2(
        building < limit, qPrintable(QStringLiteral("building %1 ms, limit %2").arg(building).arg(limit)));
    QVERIFY(rebuilt == expected);

    // Through the box, which folds the formats to what it can show and whose save
    // interns every fragment's format again: the text stays whole.
    QTemporaryDir directory;
    const QString fileName = directory.filePath(QStringLiteral("baza.rtf"));
    QVERIFY(support::WriteFile(fileName, input));
    TRichEdit box;
    timer.restart();
    box.Lines->LoadFromFile(fileName);
    const qint64 loading = timer.restart();
    box.Lines->SaveToFile(fileName, phonebook::SaveFormat());
    const qint64 saving = timer.elapsed();
    QVERIFY2(loading < limit, qPrintable(QStringLiteral("load %1 ms, limit %2").arg(loading).arg(limit)));
    QVERIFY2(saving < limit, qPrintable(QStringLiteral("save %1 ms, limit %2").arg(saving).arg(limit)));
    QCOMPARE(richtext::Decode(support::ReadFile(fileName)).text, expected.text);
}

QTEST_MAIN(HostileTest)

#include "tst_hostile.moc"
