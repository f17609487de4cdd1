#include "richtext/DocumentFiles.h"
#include "codec/RichDocument.h"
#include "codec/rtf/Reader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

using namespace codec;

namespace {

QString corpusDirectory()
{
    return QStringLiteral(CARTE_TEST_DATA_DIR "/corpus");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString collapseWhitespace(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("[\\s\\x{2028}]+"));
    return text.replace(blanks, QStringLiteral(" "));
}

QString removeWhitespace(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("[\\s\\x{2028}]+"));
    return text.remove(blanks);
}

QStringList strings(const QJsonValue &value)
{
    QStringList result;
    for (const QJsonValue &item : value.toArray())
        result.append(item.toString());
    return result;
}

// Text that the sources extract from places we deliberately leave out of the list:
// headers, footers, footnotes and text boxes. We check that it
// stays out instead.
const QStringList outsideTheBody = {
    QStringLiteral("This is a footnote."),     QStringLiteral("This is the header text."),
    QStringLiteral("This is the footer text."), QStringLiteral("Here is a text box"),
};

// A loose hang bound, not a benchmark: 100 ms plus 1 ms per kilobyte (1 MB/s,
// hundreds of times below the reader's speed, so a busy machine passes), yet
// far below what a quadratic pass over the 100 KB files would take.
qint64 loadBoundMilliseconds(qsizetype bytes)
{
    return 100 + bytes / 1000;
}

}   // namespace

class TestCorpus : public QObject {
    Q_OBJECT

private slots:
    void everyFile_loadsQuicklyAndCleanly_data();
    void everyFile_loadsQuicklyAndCleanly();
    void expectedLines_match_data();
    void expectedLines_match();
    void fragments_hold_data();
    void fragments_hold();
};

void TestCorpus::everyFile_loadsQuicklyAndCleanly_data()
{
    QTest::addColumn<QString>("path");
    const QDir directory(corpusDirectory());
    const QStringList files = directory.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 60);
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << directory.filePath(name);
}

void TestCorpus::everyFile_loadsQuicklyAndCleanly()
{
    QFETCH(QString, path);
    const QByteArray bytes = readFile(path);
    QElapsedTimer timer;
    timer.start();
    const RichDocument document = ReadRtf(bytes);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed <= loadBoundMilliseconds(bytes.size()),
             qPrintable(QStringLiteral("%1 ms for %2 bytes").arg(elapsed).arg(bytes.size())));
    QVERIFY(document.text.isEmpty() || document.text.endsWith(QLatin1Char('\n')));
    QVERIFY(!document.text.contains(QLatin1Char('\r')));
    QVERIFY(!document.text.contains(QChar(0)));
    QVERIFY(!document.text.contains(QChar(0x2029)));
    qsizetype end = 0;
    for (const FormatRun &run : document.runs) {
        QVERIFY(run.start >= end && run.length > 0);
        QVERIFY(run.format >= 0 && std::size_t(run.format) < document.formats.size());
        QVERIFY(!document.formats[std::size_t(run.format)].isDefault());
        end = run.start + run.length;
    }
    QVERIFY(end <= document.text.size());
}

void TestCorpus::expectedLines_match_data()
{
    QTest::addColumn<QString>("name");
    const QDir directory(corpusDirectory());
    const QStringList files = directory.entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 60);
    for (const QString &name : files)
        QTest::newRow(qPrintable(name)) << name;
}

// Every document, through the program's own path (a file that is not RTF loads
// as plain text), must give exactly the lines its writer's program shows,
// written in our convention; tests/data/corpus/README.md says where each
// expectation comes from.
void TestCorpus::expectedLines_match()
{
    QFETCH(QString, name);
    const QDir directory(corpusDirectory());
    const QString expectedPath = directory.filePath(name + QStringLiteral(".expected-lines.txt"));
    QVERIFY2(QFile::exists(expectedPath), qPrintable(expectedPath));
    const RichDocument document = richtext::Decode(readFile(directory.filePath(name)));
    const QString expected = QString::fromUtf8(readFile(expectedPath));
    // Line by line first, so that a failure names the first line that differs.
    QStringList expectedLines = expected.split(QLatin1Char('\n'));
    expectedLines.removeLast();   // the file ends every line with '\n'
    QCOMPARE(document.lines(), expectedLines);
    QCOMPARE(document.text, expected);
}

void TestCorpus::fragments_hold_data()
{
    QTest::addColumn<QString>("name");
    const QDir directory(corpusDirectory());
    const QStringList files =
        directory.entryList({QStringLiteral("*.expected-fragments.json")}, QDir::Files, QDir::Name);
    QVERIFY(!files.isEmpty());
    for (QString name : files) {
        name.chop(int(qstrlen(".expected-fragments.json")));
        QTest::newRow(qPrintable(name)) << name;
    }
}

void TestCorpus::fragments_hold()
{
    QFETCH(QString, name);
    const QDir directory(corpusDirectory());
    const RichDocument document = ReadRtf(readFile(directory.filePath(name)));
    QJsonParseError error;
    const QJsonObject expected =
        QJsonDocument::fromJson(readFile(directory.filePath(name + QStringLiteral(".expected-fragments.json"))), &error)
            .object();
    QCOMPARE(error.error, QJsonParseError::NoError);

    const QStringList lines = document.lines();
    const QString text = lines.join(QLatin1Char('\n'));
    int checks = 0;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
        const QString kind = it.key();
        if (kind == QLatin1String("contains")) {
            for (const QString &fragment : strings(it.value())) {
                if (outsideTheBody.contains(fragment))
                    QVERIFY2(!text.contains(fragment), qPrintable(fragment));
                else
                    QVERIFY2(text.contains(fragment), qPrintable(fragment));
                ++checks;
            }
        } else if (kind == QLatin1String("not_contains")) {
            for (const QString &fragment : strings(it.value())) {
                QVERIFY2(!text.contains(fragment), qPrintable(fragment));
                ++checks;
            }
        } else if (kind == QLatin1String("contains_after_collapsing_whitespace")) {
            const QString collapsed = collapseWhitespace(text);
            for (const QString &fragment : strings(it.value())) {
                QVERIFY2(collapsed.contains(collapseWhitespace(fragment)), qPrintable(fragment));
                ++checks;
            }
        } else if (kind == QLatin1String("equals_after_removing_all_whitespace")) {
            QCOMPARE(removeWhitespace(text), removeWhitespace(it.value().toString()));
            ++checks;
        } else if (kind == QLatin1String("paragraph_sequence_contains")) {
            const QStringList sequence = strings(it.value());
            bool found = false;
            for (qsizetype start = 0; !found && start + sequence.size() <= lines.size(); ++start)
                found = lines.mid(start, sequence.size()) == sequence;
            QVERIFY2(found, qPrintable(lines.join(QLatin1Char('|'))));
            ++checks;
        } else if (kind == QLatin1String("equals_paragraph_1")) {
            QVERIFY(!lines.isEmpty());
            QCOMPARE(lines.first(), it.value().toString());
            ++checks;
        } else if (kind == QLatin1String("equals_text")) {
            QCOMPARE(text, it.value().toString());
            ++checks;
        }
        // info_title and info_author name document properties, which the list
        // model does not carry; "source" and "note" are commentary.
    }
    QVERIFY(checks > 0);
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
