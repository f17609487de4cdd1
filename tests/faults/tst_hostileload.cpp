#include "HostileFiles.h"

#include "Exception.h"
#include "TRichEdit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <functional>

// Files that the reader reads in linear time but that once made Qt's document,
// layout or font cache take minutes: loading one into a shown box, and a keystroke in
// its first line, must take time in proportion to the file.
class HostileLoadTest : public QObject {
    Q_OBJECT

private slots:
    void loadShowAndType_growsLinearly_data();
    void loadShowAndType_growsLinearly();

private:
    QTemporaryDir directory_;
};

namespace {

using Generator = std::function<QByteArray(int)>;

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Load into a box hidden as the program's list is, show it, and type a key in its
// first line; the milliseconds all of that took.
qint64 loadShowAndType(const QString &fileName)
{
    TRichEdit box;
    box.resize(281, 353);
    QElapsedTimer timer;
    timer.start();
    box.Lines->LoadFromFile(fileName);
    box.show();
    box.repaint();
    QCoreApplication::processEvents();
    QTextCursor cursor(box.document());
    cursor.setPosition(std::min(box.document()->firstBlock().length() / 2, 1000));
    box.setTextCursor(cursor);
    QTest::keyClick(&box, Qt::Key_Q);
    box.repaint();
    QCoreApplication::processEvents();
    return timer.elapsed();
}

}   // namespace

Q_DECLARE_METATYPE(Generator)

void HostileLoadTest::loadShowAndType_growsLinearly_data()
{
    // Each file is made at `count` and at twice that; `count` is where the time used
    // to grow with the square of the size, taking seconds.
    QTest::addColumn<Generator>("generator");
    QTest::addColumn<int>("count");
    QTest::newRow("formatted pieces in one line") << Generator(hostile::formattedPieces) << 8'000;
    QTest::newRow("distinct font sizes in one line")
        << Generator([](int count) { return hostile::distinctSizes(count, count); }) << 2'000;
    QTest::newRow("a line of one word") << Generator(hostile::longWord) << 200'000;
    QTest::newRow("distinct font families") << Generator(hostile::distinctFamilies) << 8'000;
    QTest::newRow("distinct colours") << Generator(hostile::distinctColours) << 16'000;
}

void HostileLoadTest::loadShowAndType_growsLinearly()
{
    QFETCH(Generator, generator);
    QFETCH(int, count);
    const QString small = directory_.filePath(QStringLiteral("small.txt"));
    const QString large = directory_.filePath(QStringLiteral("large.txt"));
    const QByteArray largeBytes = generator(2 * count);
    writeFile(small, generator(count));
    writeFile(large, largeBytes);

    loadShowAndType(small);   // fonts and caches warm
    const qint64 once = loadShowAndType(small);
    const qint64 twice = loadShowAndType(large);
    // Linear time doubles; the square would be four times. A generous allowance for a
    // busy machine, and a bound of 5 us a byte whatever the ratio.
    QVERIFY2(twice < 3 * once + 100, qPrintable(QStringLiteral("%1 ms, then %2 ms").arg(once).arg(twice)));
    QVERIFY2(twice < largeBytes.size() / 200 + 200, qPrintable(QStringLiteral("%1 ms").arg(twice)));
}

QTEST_MAIN(HostileLoadTest)

#include "tst_hostileload.moc"
