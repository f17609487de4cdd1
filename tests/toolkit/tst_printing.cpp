#include "richtext/Printing.h"
#include "support/PdfText.h"
#include "system/Exception.h"
#include "vcl/PrintProgress.h"
#include "vcl/TApplication.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

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

// The pages of a PDF file as grey images, coarse enough to be quick.
QList<QByteArray> picturesOf(const QString &pdf, const QString &prefix)
{
    QProcess::execute(QStringLiteral("pdftoppm"),
        { QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-gray"), pdf, prefix });
    QList<QByteArray> pictures;
    const QFileInfo base(prefix);
    for (const QFileInfo &page :
        QDir(base.path())
            .entryInfoList({ base.fileName() + QStringLiteral("-*") }, QDir::Files, QDir::Name)) {
        QFile file(page.filePath());
        pictures.append(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }
    return pictures;
}

QString entry(int number) { return QStringLiteral("Pop  Ana  %1").arg(number, 7, 10, QLatin1Char('0')); }

// The entries, each a paragraph of its own format, whichever begins a part; among them
// headings and paragraphs that wrap over several lines.
void fill(QTextDocument &document, int lines)
{
    QString html;
    for (int number = 0; number < lines; ++number) {
        if (number % 97 == 0)
            html += QStringLiteral("<h2 align=center>Carte de telefon %1</h2>").arg(number);
        if (number % 89 == 0)
            html += QStringLiteral("<p>%1</p>").arg(QStringLiteral("Popescu Ion 0744 555 010 ").repeated(40));
        html += QStringLiteral("<p style=\"margin:0 0 0 30px\">%1</p>").arg(entry(number));
    }
    document.setHtml(html);
}

}   // namespace

// What a print job is named and what it holds.
class PrintingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void jobName_data();
    void jobName();
    void printToFile_holdsEveryLineAndWholeTitle();
    void printToFile_data();
    void printToFile();
    void progressWindow_data();
    void progressWindow();
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

void PrintingTest::printToFile_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("three pages") << 150;
    QTest::newRow("several parts") << 9000;
    // Laid out whole at the printer's resolution, this many lines reach past the
    // coordinates of Qt's text layout: QTextDocument::print gives one page.
    QTest::newRow("past the layout's reach") << 170000;
}

// Each entry on paper once and in order, every page numbered, the progress told of each
// page in turn and of their number; the pages as QTextDocument::print draws them.
void PrintingTest::printToFile()
{
    // Pages and their pictures are read by poppler's tools, which exist on Linux only;
    // elsewhere printToFile_holdsEveryLineAndWholeTitle checks what is printed.
    const bool poppler = !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
#ifdef Q_OS_WIN
    if (!poppler)
        QSKIP("poppler's pdftotext and pdftoppm are not on this system");
#else
    if (!poppler)
        QFAIL("pdftotext and pdftoppm (poppler-utils) are not installed: tools/install-dependencies.sh test");
#endif
    QFETCH(int, lines);
    QTextDocument document;
    fill(document, lines);
    QTemporaryDir directory;
    const QString pdf = directory.filePath(QStringLiteral("ours.pdf"));
    QList<int> told;
    int total = 0;
    printing::PrintToFile(pdf);
    QVERIFY(printing::Print(document, QStringLiteral("lista"), [&](int donePages, int totalPages) {
        told.append(donePages);
        total = totalPages;
        return true;
    }));
    printing::PrintToFile({});

    const QList<QStringList> pages = pagesOf(pdf);
    QCOMPARE(pages.size(), told.size());
    QCOMPARE(total, told.size());
    const QRegularExpression entryLine(QStringLiteral("^\\s*Pop\\s+Ana\\s+(\\d+)\\s*$"));
    const QRegularExpression numberLine(QStringLiteral("^\\s*(\\d+)\\s*$"));
    int next = 0;
    for (qsizetype index = 0; index < pages.size(); ++index) {
        QCOMPARE(told[index], index + 1);
        int pageNumber = 0;
        for (const QString &line : pages[index]) {
            if (const auto found = entryLine.match(line); found.hasMatch())
                QCOMPARE(found.captured(1).toInt(), next++);
            else if (const auto number = numberLine.match(line); number.hasMatch())
                pageNumber = number.captured(1).toInt();
        }
        QCOMPARE(pageNumber, index + 1);
    }
    QCOMPARE(next, lines);
    if (lines > 9000)
        return;   // nothing to compare with

    const QString qts = directory.filePath(QStringLiteral("qt.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(qts);
        document.print(&printer);
    }
    const QList<QByteArray> expected = picturesOf(qts, directory.filePath(QStringLiteral("qt")));
    const QList<QByteArray> printed = picturesOf(pdf, directory.filePath(QStringLiteral("ours")));
    QCOMPARE(printed.size(), expected.size());
    for (qsizetype page = 0; page < expected.size(); ++page)
        QVERIFY2(
            printed[page] == expected[page], qPrintable(QStringLiteral("page %1 differs").arg(page + 1)));
}

enum class Person { Waits, Cancels, ChangesText };

void PrintingTest::progressWindow_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<Person>("person");
    QTest::addColumn<bool>("windowShown");
    QTest::newRow("two pages: no window") << 100 << Person::Waits << false;
    QTest::newRow("thirty pages, to the end") << 2000 << Person::Waits << true;
    QTest::newRow("thirty pages, cancelled") << 2000 << Person::Cancels << true;
    QTest::newRow("thirty pages, text changed") << 2000 << Person::ChangesText << true;
}

// A long job shows its progress, and its button cancels it: no file, no failure. The
// program goes on meanwhile but starts no second job, and a text changed under the job
// fails it: no file either.
void PrintingTest::progressWindow()
{
    QFETCH(int, lines);
    QFETCH(Person, person);
    QFETCH(bool, windowShown);
    TRichEdit box;
    fill(*box.document(), lines);
    // Shown at once rather than after a moment, so that it is seen however fast the job.
    SetPrintProgressHook([](QProgressDialog &window) { window.setMinimumDuration(0); });
    QStringList seen;
    bool secondJobStarted = false;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&] {
        auto *window = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible() || !seen.isEmpty())
            return;
        auto *button = window->findChild<QPushButton *>();
        seen = QStringList { window->windowTitle(), window->labelText(), button->text() };
        secondJobStarted = PrintShowingProgress(*box.document(), QStringLiteral("again"));
        if (person == Person::Cancels)
            QTest::mouseClick(button, Qt::LeftButton);
        if (person == Person::ChangesText)
            box.Lines->Add(QStringLiteral("Pop  Ion  555"));
    });
    timer.start(1);
    QTemporaryDir directory;
    const QString pdf = directory.filePath(QStringLiteral("job.pdf"));
    printing::PrintToFile(pdf);
    bool finished = false;
    bool failed = false;
    try {
        finished = PrintShowingProgress(*box.document(), box.Lines->Text());
    } catch (const Exception &) {
        failed = true;
    }
    printing::PrintToFile({});
    SetPrintProgressHook({});

    QCOMPARE(finished, person == Person::Waits);
    QCOMPARE(failed, person == Person::ChangesText);
    QCOMPARE(QFile::exists(pdf), person == Person::Waits);
    QVERIFY(!secondJobStarted);
    if (windowShown)
        QCOMPARE(seen, (QStringList { u"carte de telefon"_qs, u"se tipareste..."_qs, u"Renunta"_qs }));
    else
        QVERIFY(seen.isEmpty());
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
        QCOMPARE(error.Message(),
            QStringLiteral("Nu se poate tipari: pe acest calculator nu este instalata nicio imprimanta."));
    }
}

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    application.Title(QStringLiteral("carte de telefon"));
    PrintingTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_printing.moc"
