#include "system/Exception.h"
#include "system/Printing.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

namespace {

// The text of each page of a PDF file, one string a line, or nothing when it cannot be read.
QList<QStringList> pagesOf(const QString &pdf)
{
    QProcess text;
    text.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    if (!text.waitForFinished(120000) || text.exitCode() != 0)
        return {};
    QList<QStringList> pages;
    for (const QString &page : QString::fromUtf8(text.readAllStandardOutput()).split(QLatin1Char('\f')))
        pages.append(page.split(QLatin1Char('\n'), Qt::SkipEmptyParts));
    pages.removeLast();   // after the last page's form feed
    return pages;
}

QString entry(int number) { return QStringLiteral("Pop  Ana  %1").arg(number, 7, 10, QLatin1Char('0')); }

}   // namespace

// What a print job is named and what it holds.
class PrintingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void jobName_data();
    void jobName();
    void printToFile_holdsEveryLineAndWholeTitle();
    void printToFile_everyLineOnceInOrder_data();
    void printToFile_everyLineOnceInOrder();
    void printToUnwritableFile_throws();
    void noPrinter_throwsAndNamesTheReason();
};

void PrintingTest::initTestCase()
{
    // No print system is reachable: the tests must not depend on the machine's printers.
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
}

void PrintingTest::jobName_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");
    QTest::newRow("line ends and tabs become blanks")
        << QStringLiteral("Pop  Ana\t555\r\nIon\r\n") << QStringLiteral("Pop  Ana 555  Ion  ");
    QTest::newRow("other control characters")
        << QStringLiteral("a\u0001b\u007fc\u2028d") << QStringLiteral("a b c d");
    QTest::newRow("255 bytes kept whole") << QString(255, QLatin1Char('x')) << QString(255, QLatin1Char('x'));
    QTest::newRow("cut to 255 bytes") << QString(300, QLatin1Char('x')) << QString(255, QLatin1Char('x'));
    // 'ș' takes two bytes: 127 of them fill 254 bytes, and the 128th would pass 255.
    QTest::newRow("cut at a character boundary")
        << QString(200, QChar(0x0219)) << QString(127, QChar(0x0219));
    QTest::newRow("non-BMP not split") << QStringLiteral("x").repeated(253) + QStringLiteral("\U0001F4DE")
                                       << QStringLiteral("x").repeated(253);
}

void PrintingTest::jobName()
{
    QFETCH(QString, title);
    QFETCH(QString, expected);
    const QString name = printing::JobName(title);
    QCOMPARE(name, expected);
    QVERIFY(name.toUtf8().size() <= 255);
}

void PrintingTest::printToFile_holdsEveryLineAndWholeTitle()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext (poppler-utils) is not installed: tools/install-dependencies.sh test");
    QTemporaryDir directory;
    const QString pdf = directory.filePath(QStringLiteral("job.pdf"));
    TRichEdit box;
    box.Lines->Add(QStringLiteral("Pop  Ana  555"));
    box.Lines->Add(QStringLiteral("Ionescu  Maria  0722"));
    printing::PrintToFile(pdf);
    box.Print(box.Lines->Text());
    printing::PrintToFile({});

    QProcess text;
    text.start(QStringLiteral("pdftotext"), { QStringLiteral("-layout"), pdf, QStringLiteral("-") });
    QVERIFY(text.waitForFinished());
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(
        printed.contains(QStringLiteral("Pop  Ana  555")) || printed.contains(QStringLiteral("Pop Ana 555")),
        qPrintable(printed));
    QVERIFY(printed.contains(QStringLiteral("Ionescu")));

    QProcess info;
    info.start(QStringLiteral("pdfinfo"), { pdf });
    QVERIFY(info.waitForFinished());
    const QString metadata = QString::fromUtf8(info.readAllStandardOutput());
    // The document keeps the list's whole text as its title, line ends included.
    const qsizetype from = metadata.indexOf(QStringLiteral("Title:"));
    const qsizetype to = metadata.indexOf(QStringLiteral("\nCreator:"));
    QVERIFY(from >= 0 && to > from);
    const QString title = metadata.mid(from, to - from);
    QVERIFY2(title.contains(QStringLiteral("Pop  Ana  555"))
            && title.contains(QStringLiteral("Ionescu  Maria  0722")),
        qPrintable(title));
}

void PrintingTest::printToFile_everyLineOnceInOrder_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("one page") << 10;
    QTest::newRow("a few thousand paragraphs") << 9000;
    // Laid out whole at the printer's resolution, this many lines reach past the
    // coordinates of Qt's text layout.
    QTest::newRow("past the layout's reach") << 170000;
}

// Each entry on paper once, in order, the pages full but the last, each numbered.
void PrintingTest::printToFile_everyLineOnceInOrder()
{
    QFETCH(int, lines);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QFAIL("pdftotext (poppler-utils) is not installed: tools/install-dependencies.sh test");
    QStringList entries;
    for (int number = 0; number < lines; ++number)
        entries.append(entry(number));
    QTextDocument document;
    document.setPlainText(entries.join(QLatin1Char('\n')));
    QTemporaryDir directory;
    const QString pdf = directory.filePath(QStringLiteral("job.pdf"));
    printing::PrintToFile(pdf);
    printing::Print(document, QStringLiteral("lista"));
    printing::PrintToFile({});

    const QList<QStringList> pages = pagesOf(pdf);
    QVERIFY(!pages.isEmpty());
    const QRegularExpression entryLine(QStringLiteral("^\\s*Pop\\s+Ana\\s+(\\d+)\\s*$"));
    const QRegularExpression numberLine(QStringLiteral("^\\s*(\\d+)\\s*$"));
    int next = 0;
    qsizetype perPage = 0;
    for (qsizetype index = 0; index < pages.size(); ++index) {
        QStringList onPage;
        int pageNumber = 0;
        for (const QString &line : pages[index]) {
            if (const auto found = entryLine.match(line); found.hasMatch())
                onPage.append(found.captured(1));
            else if (const auto number = numberLine.match(line); number.hasMatch())
                pageNumber = number.captured(1).toInt();
        }
        QCOMPARE(pageNumber, index + 1);
        if (index == 0)
            perPage = onPage.size();
        else if (index + 1 < pages.size())
            QCOMPARE(onPage.size(), perPage);
        for (const QString &number : onPage)
            QCOMPARE(number.toInt(), next++);
    }
    QCOMPARE(next, lines);
    QCOMPARE(pages.size(), (lines + perPage - 1) / perPage);
}

void PrintingTest::printToUnwritableFile_throws()
{
    TRichEdit box;
    box.Lines->Add(QStringLiteral("x"));
    printing::PrintToFile(QStringLiteral("/nonexistent-directory/job.pdf"));
    QVERIFY_THROWS_EXCEPTION(Exception, box.Print(QStringLiteral("x")));
    printing::PrintToFile({});
}

void PrintingTest::noPrinter_throwsAndNamesTheReason()
{
    TRichEdit box;
    box.Lines->Add(QStringLiteral("x"));
    try {
        box.Print(QStringLiteral("x"));
        QFAIL("printing without a printer did not fail");
    } catch (const Exception &error) {
        QVERIFY2(error.Message().contains(QStringLiteral("no printer")), qPrintable(error.Message()));
    }
}

QTEST_MAIN(PrintingTest)
#include "tst_printing.moc"
