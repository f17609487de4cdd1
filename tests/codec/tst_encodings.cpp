#include "codec/PlainText.h"
#include "codec/RichDocument.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTest>

using namespace codec;

namespace {

QString corpusDirectory() { return QStringLiteral(CARTE_TEST_DATA_DIR "/encodings"); }

// The single-byte pages hold s and t either with a cedilla or with a comma below, never
// both: there the two count as one letter.
QStringList FoldCedillas(QStringList lines)
{
    for (QString &line : lines) {
        line.replace(QChar(0x015E), QChar(0x0218)).replace(QChar(0x015F), QChar(0x0219));
        line.replace(QChar(0x0162), QChar(0x021A)).replace(QChar(0x0163), QChar(0x021B));
    }
    return lines;
}

// The Unicode encoding a file named SHAPE.ENCODING.txt must be read in; empty for the
// single-byte pages, which are told apart by the text alone.
QString UnicodeEncoding(const QString &encoding)
{
    if (encoding.startsWith(QLatin1String("utf-8")))
        return QStringLiteral("UTF-8");
    if (encoding.startsWith(QLatin1String("utf-16le")))
        return QStringLiteral("UTF-16LE");
    if (encoding.startsWith(QLatin1String("utf-16be")))
        return QStringLiteral("UTF-16BE");
    return {};
}

}   // namespace

// Every phone book of tests/data/encodings (tools/make_encoding_corpus.py) comes in as
// it was written.
class TestEncodings : public QObject {
    Q_OBJECT

private slots:
    void everyFile_readsAsWritten_data();
    void everyFile_readsAsWritten();
};

void TestEncodings::everyFile_readsAsWritten_data()
{
    QTest::addColumn<QString>("path");
    const QDir directory(corpusDirectory());
    const QStringList files = directory.entryList({ QStringLiteral("*.txt") }, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 72);
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << directory.filePath(name);
}

void TestEncodings::everyFile_readsAsWritten()
{
    QFETCH(QString, path);
    const QString encoding = path.section(QLatin1Char('.'), -2, -2);
    QString expectedPath = path;
    expectedPath.replace(path.size() - 4, 4, QStringLiteral(".expected"));
    QStringList expected = QString::fromUtf8(support::ReadFile(expectedPath)).split(QLatin1Char('\n'));
    QVERIFY(expected.size() > 1 && expected.takeLast().isEmpty());

    TextEncoding found;
    QStringList lines = ReadPlainText(support::ReadFile(path), &found).lines();
    const QString unicode = UnicodeEncoding(encoding);
    if (unicode.isEmpty()) {
        lines = FoldCedillas(lines);
        expected = FoldCedillas(expected);
    } else {
        QCOMPARE(QString::fromLatin1(EncodingName(found)), unicode);
    }
    QCOMPARE(lines, expected);
}

QTEST_GUILESS_MAIN(TestEncodings)
#include "tst_encodings.moc"
