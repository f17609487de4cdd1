#include "support/PdfText.h"
#include "system/Exception.h"
#include "system/Printing.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// What a print job is named and what it holds.
class PrintingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void jobName_data();
    void jobName();
    void printToFile_holdsEveryLineAndWholeTitle();
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
    QTemporaryDir directory;
    const QString pdf = directory.filePath(QStringLiteral("job.pdf"));
    TRichEdit box;
    const QStringList lines { QStringLiteral("Pop  Ana  555"), QStringLiteral("Ionescu  Maria  0722") };
    for (const QString &line : lines)
        box.Lines->Add(line);
    printing::PrintToFile(pdf);
    box.Print(box.Lines->Text());
    printing::PrintToFile({});

    const std::optional<support::PdfContent> printed = support::ReadPdf(pdf);
    QVERIFY(printed);
    // Qt numbers the page at its foot.
    QCOMPARE(printed->lines, lines + QStringList { QStringLiteral("1") });
    // The document keeps the list's whole text as its title, line ends included.
    QCOMPARE(printed->title, box.Lines->Text());
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
