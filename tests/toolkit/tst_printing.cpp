#include "system/Exception.h"
#include "system/Printing.h"
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

void fill(QTextDocument &document, int lines)
{
    QStringList entries;
    for (int number = 0; number < lines; ++number)
        entries.append(entry(number));
    document.setPlainText(entries.join(QLatin1Char('\n')));
}

// pdftotext and pdftoppm read back what was printed.
bool hasPopplerTools()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty()
        && !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

constexpr const char *noPoppler
    = "pdftotext and pdftoppm (poppler-utils) are not installed: tools/install-dependencies.sh test";

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
    void printToFile_looksAsQtPrintsIt_data();
    void printToFile_looksAsQtPrintsIt();
    void cancelledOrChanged_data();
    void cancelledOrChanged();
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

// Each entry on paper once, in order, the pages full but the last, each numbered; the
// progress told of each page in turn, and at the end of the right number of pages.
void PrintingTest::printToFile_everyLineOnceInOrder()
{
    QFETCH(int, lines);
    if (!hasPopplerTools())
        QFAIL(noPoppler);
    QTextDocument document;
    fill(document, lines);
    QTemporaryDir directory;
    const QString pdf = directory.filePath(QStringLiteral("job.pdf"));
    QList<int> told;   // the pages done, as each call gave them
    int total = 0;
    const auto progress = [&](int donePages, int totalPages) {
        told.append(donePages);
        total = totalPages;
        return true;
    };
    printing::PrintToFile(pdf);
    QVERIFY(printing::Print(document, QStringLiteral("lista"), progress));
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
    QCOMPARE(total, pages.size());
    QCOMPARE(told.size(), pages.size());
    for (qsizetype index = 0; index < told.size(); ++index)
        QCOMPARE(told[index], index + 1);
}

void PrintingTest::printToFile_looksAsQtPrintsIt_data()
{
    QTest::addColumn<int>("lines");
    QTest::newRow("three pages") << 150;
    QTest::newRow("several parts") << 9000;
}

// The same pages as QTextDocument::print gives the same document: margins, breaks,
// formats, the page numbers.
void PrintingTest::printToFile_looksAsQtPrintsIt()
{
    QFETCH(int, lines);
    if (!hasPopplerTools())
        QFAIL(noPoppler);
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    centred.setBottomMargin(12);
    QTextCharFormat heading;
    heading.setFontPointSize(20);
    heading.setFontWeight(QFont::Bold);
    // Every paragraph has formats of its own, whichever begins a part.
    QTextBlockFormat indented;
    indented.setLeftMargin(30);
    for (int number = 0; number < lines; ++number) {
        if (number > 0)
            cursor.insertBlock(indented, QTextCharFormat());
        if (number % 97 == 0) {
            cursor.setBlockFormat(centred);
            cursor.setBlockCharFormat(heading);
            cursor.insertText(QStringLiteral("Carte de telefon %1").arg(number));
        } else if (number % 89 == 0) {
            cursor.insertText(QStringLiteral("Popescu Ion 0744 555 010 ").repeated(40));
        } else {
            cursor.insertText(entry(number));
        }
    }
    QTemporaryDir directory;
    const QString ours = directory.filePath(QStringLiteral("ours.pdf"));
    printing::PrintToFile(ours);
    printing::Print(document, QStringLiteral("lista"));
    printing::PrintToFile({});
    const QString qts = directory.filePath(QStringLiteral("qt.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(qts);
        document.print(&printer);
    }

    const QList<QByteArray> expected = picturesOf(qts, directory.filePath(QStringLiteral("qt")));
    const QList<QByteArray> printed = picturesOf(ours, directory.filePath(QStringLiteral("ours")));
    QVERIFY(expected.size() > 1);
    QCOMPARE(printed.size(), expected.size());
    for (qsizetype page = 0; page < expected.size(); ++page)
        QVERIFY2(
            printed[page] == expected[page], qPrintable(QStringLiteral("page %1 differs").arg(page + 1)));
}

void PrintingTest::cancelledOrChanged_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("changeText");   // rather than cancel
    QTest::newRow("cancelled after the first page") << 500 << 1 << false;
    QTest::newRow("cancelled in a later part") << 9000 << 100 << false;
    QTest::newRow("text changed meanwhile") << 9000 << 2 << true;
}

// A cancelled job stops, leaves no file and is no failure; a job whose text changes
// under it (the event loop runs while it prints) stops, leaves no file and fails.
void PrintingTest::cancelledOrChanged()
{
    QFETCH(int, lines);
    QFETCH(int, page);
    QFETCH(bool, changeText);
    QTextDocument document;
    fill(document, lines);
    QTemporaryDir directory;
    const QString pdf = directory.filePath(QStringLiteral("job.pdf"));
    int calls = 0;
    const auto progress = [&](int donePages, int) {
        ++calls;
        if (donePages == page && changeText)
            QTextCursor(&document).insertText(QStringLiteral("x"));
        return donePages != page || changeText;
    };
    printing::PrintToFile(pdf);
    bool failed = false;
    try {
        QVERIFY(!printing::Print(document, QStringLiteral("lista"), progress));
    } catch (const Exception &) {
        failed = true;
    }
    printing::PrintToFile({});
    QCOMPARE(failed, changeText);
    QCOMPARE(calls, page);
    QVERIFY(!QFile::exists(pdf));
}

void PrintingTest::progressWindow_data()
{
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("windowShown");
    QTest::newRow("two pages: no window") << 100 << false << false;
    QTest::newRow("thirty pages, to the end") << 2000 << false << true;
    QTest::newRow("thirty pages, cancelled") << 2000 << true << true;
}

// A long job shows its progress, and its button cancels it; the program stays usable
// meanwhile, but starts no second job.
void PrintingTest::progressWindow()
{
    QFETCH(int, lines);
    QFETCH(bool, cancel);
    QFETCH(bool, windowShown);
    TRichEdit box;
    fill(*box.document(), lines);
    // Shown at once rather than after a moment, so that it is seen however fast the job.
    SetPrintProgressHook([](QProgressDialog &window) { window.setMinimumDuration(0); });
    QStringList seen;
    bool secondJobStarted = false;
    QTimer person;
    connect(&person, &QTimer::timeout, [&] {
        auto *window = qobject_cast<QProgressDialog *>(QApplication::activeModalWidget());
        if (window == nullptr || !window->isVisible() || !seen.isEmpty())
            return;
        auto *button = window->findChild<QPushButton *>();
        seen = QStringList { window->windowTitle(), window->labelText(), button->text() };
        secondJobStarted = PrintShowingProgress(*box.document(), QStringLiteral("again"));
        if (cancel)
            QTest::mouseClick(button, Qt::LeftButton);
    });
    person.start(1);
    QTemporaryDir directory;
    const QString pdf = directory.filePath(QStringLiteral("job.pdf"));
    printing::PrintToFile(pdf);
    const bool finished = PrintShowingProgress(*box.document(), box.Lines->Text());
    printing::PrintToFile({});
    SetPrintProgressHook({});

    QCOMPARE(finished, !cancel);
    QCOMPARE(QFile::exists(pdf), !cancel);
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
        QVERIFY2(error.Message().contains(QStringLiteral("no printer")), qPrintable(error.Message()));
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
