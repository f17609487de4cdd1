#include "support/TestFiles.h"
#include "support/WindowFixture.h"
#include "support/XServer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

using namespace forms_test;
using namespace Qt::StringLiterals;

namespace {

// The program's own drawing as `XServer::icon` reads it from a window.
QString programIcon()
{
    const QImage image = QImage(u":/carte-de-telefon.xpm"_s).convertToFormat(QImage::Format_ARGB32);
    QStringList numbers { QString::number(image.width()), QString::number(image.height()) };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            numbers.append(QString::number(image.pixel(x, y)));
    }
    return u"_NET_WM_ICON = "_s + numbers.join(u", "_s);
}

// The window class that the desktop entry tells a task bar to group the windows by.
QString desktopWindowClass()
{
    const QString entry = QString::fromUtf8(support::ReadFile(QStringLiteral(CARTE_DESKTOP_ENTRY)));
    return QRegularExpression(u"^StartupWMClass=(.*)$"_s, QRegularExpression::MultilineOption)
        .match(entry)
        .captured(1);
}

const QString mainCaption = QString(29, QLatin1Char(' ')) + u"carte de telefoane "_s;
const QColor windowColour(166, 202, 240);

}   // namespace

// Starting the program: what it loads, which windows it shows, and how it ends.
class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void missingFile_reportsAndOpensWithEmptyVisibleList();
    void program_showsOnlyMaximisedMainWindowWithListHidden();
    void program_missingFile_reportsThenOpensAndExitsCleanly();
    void program_everyWindowHasProgramIconAndClass_data();
    void program_everyWindowHasProgramIconAndClass();
    void program_underWindowManager_framesHaveDesignSize();

private:
    void startProgram(const support::XServer &server, const QString &directory);
    void exitThroughMenu(const support::XServer &server, const QString &window);
    void openDeleteWindow(const support::XServer &server, const QString &mainWindow);

    QProcess program_;
};

void StartupTest::cleanup()
{
    if (program_.state() != QProcess::NotRunning) {
        program_.kill();
        program_.waitForFinished();
    }
}

void StartupTest::missingFile_reportsAndOpensWithEmptyVisibleList()
{
    WorkingDirectory directory;
    MessageBoxCloser closer;
    createForms();
    QCOMPARE(closer.shown.size(), 1);
    QCOMPARE(closer.shown[0].title, u"carte de telefon"_s);
    QVERIFY2(closer.shown[0].text.contains(u"baza.txt"_s), qPrintable(closer.shown[0].text));
    QCOMPARE(closer.shown[0].text, support::OpenReport(u"baza.txt"_s, support::fileNotFound));
    Application->MainForm()->Show();
    QVERIFY(QTest::qWaitForWindowExposed(Form1));
    QVERIFY(Form1->RichEdit1->isVisible());
    QCOMPARE(Form1->RichEdit1->Lines->Count(), 0);
    QVERIFY(!Form2->isVisible());
    Form1->hide();
}

void StartupTest::startProgram(const support::XServer &server, const QString &directory)
{
    for (const char *tool : { "Xvfb", "xdotool", "xprop", "import" }) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QFAIL(qPrintable(
                u"%1 is not installed: tools/install-dependencies.sh test"_s.arg(QString::fromLatin1(tool))));
    }
    QVERIFY2(!server.display().isEmpty(), "Xvfb did not start");
    QProcessEnvironment environment = server.environment();
    // Nothing here may reach a real printer.
    environment.insert(u"CUPS_SERVER"_s, u"/nonexistent/cups.sock"_s);
    program_.setWorkingDirectory(directory);
    // The platform plugin says why it could not reach the display.
    environment.insert(u"QT_LOGGING_RULES"_s, u"qt.qpa.xcb.warning=true"_s);
    program_.setProcessEnvironment(environment);
    program_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program_.start(QStringLiteral(CARTE_PROGRAM), {});
    QVERIFY(program_.waitForStarted());
    // A new Xvfb that answers xprop has at times still turned away the program's first
    // connection; a program that cannot reach the display ends at once, so try again.
    if (program_.waitForFinished(2000)) {
        qWarning("the program ended at once (exit %d); starting it again", program_.exitCode());
        QTest::qWait(500);
        program_.start(QStringLiteral(CARTE_PROGRAM), {});
        QVERIFY(program_.waitForStarted());
    }
}

void StartupTest::exitThroughMenu(const support::XServer &server, const QString &window)
{
    server.run(u"xdotool"_s, { u"windowfocus"_s, u"--sync"_s, window });
    server.run(u"xdotool"_s, { u"key"_s, u"alt+f"_s });
    QTest::qWait(300);
    server.run(u"xdotool"_s, { u"key"_s, u"x"_s });
    const bool finished = program_.waitForFinished(10000);
    if (!finished) {
        program_.kill();
        program_.waitForFinished();
    }
    QVERIFY2(finished, "the program still ran after File > Exit");
    QCOMPARE(program_.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program_.exitCode(), 0);
}

// Clicks the main window's delete button, which lies under the menu bar whatever its
// height.
void StartupTest::openDeleteWindow(const support::XServer &server, const QString &mainWindow)
{
    server.run(
        u"xdotool"_s, { u"mousemove"_s, u"--window"_s, mainWindow, u"560"_s, u"45"_s, u"click"_s, u"1"_s });
}

void StartupTest::program_showsOnlyMaximisedMainWindowWithListHidden()
{
    QTemporaryDir directory;
    QVERIFY(
        support::WriteFile(directory.filePath(u"baza.txt"_s), sampleLines.join(QLatin1Char('\n')).toUtf8()));
    support::XServer server;
    startProgram(server, directory.path());
    const QString main = server.waitForWindow(u"carte de telefoane"_s);
    QVERIFY2(!main.isEmpty(), "the main window did not appear");
    QTest::qWait(300);

    QVERIFY(server.visibleWindow(u"stergere"_s).isEmpty());
    QVERIFY(server.visibleWindow(u"^carte de telefon$"_s).isEmpty());
    QCOMPARE(server.property(main, u"WM_NAME"_s), u"WM_NAME(STRING) = \"%1\""_s.arg(mainCaption));
    QCOMPARE(server.property(main, u"_NET_WM_ICON_NAME"_s),
        u"_NET_WM_ICON_NAME(UTF8_STRING) = \"carte de telefon\""_s);
    const QString state = server.property(main, u"_NET_WM_STATE"_s);
    QVERIFY2(state.contains(u"_NET_WM_STATE_MAXIMIZED_VERT"_s)
            && state.contains(u"_NET_WM_STATE_MAXIMIZED_HORZ"_s),
        qPrintable(state));
    // The middle of the list's place shows the window's own colour while the list is hidden.
    const QString geometry = server.run(u"xdotool"_s, { u"getwindowgeometry"_s, u"--shell"_s, main });
    const int left = QRegularExpression(u"X=(\\d+)"_s).match(geometry).captured(1).toInt();
    const int top = QRegularExpression(u"Y=(\\d+)"_s).match(geometry).captured(1).toInt();
    QTRY_COMPARE_WITH_TIMEOUT(server.pixel(left + 540, top + 260), windowColour, 5000);

    exitThroughMenu(server, main);
    QVERIFY(!QFile::exists(directory.filePath(u"baza.doc"_s)));
}

void StartupTest::program_missingFile_reportsThenOpensAndExitsCleanly()
{
    QTemporaryDir directory;
    support::XServer server;
    startProgram(server, directory.path());
    // The report, titled with the program's title, comes before the main window.
    const QString report = server.waitForWindow(u"^carte de telefon$"_s);
    QVERIFY2(!report.isEmpty(), "no report of the missing file");
    server.run(u"xdotool"_s, { u"windowfocus"_s, u"--sync"_s, report });
    server.run(u"xdotool"_s, { u"key"_s, u"Return"_s });

    const QString main = server.waitForWindow(u"carte de telefoane"_s);
    QVERIFY2(!main.isEmpty(), "the main window did not appear after the report");
    QTest::qWait(300);
    QVERIFY(server.visibleWindow(u"^carte de telefon$"_s).isEmpty());
    const QString geometry = server.run(u"xdotool"_s, { u"getwindowgeometry"_s, u"--shell"_s, main });
    const int left = QRegularExpression(u"X=(\\d+)"_s).match(geometry).captured(1).toInt();
    const int top = QRegularExpression(u"Y=(\\d+)"_s).match(geometry).captured(1).toInt();
    // An empty list, shown: its white face covers the window's colour.
    QTRY_COMPARE_WITH_TIMEOUT(server.pixel(left + 540, top + 260), QColor(Qt::white), 5000);

    exitThroughMenu(server, main);
}

void StartupTest::program_everyWindowHasProgramIconAndClass_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("main window") << u"main"_s;
    QTest::newRow("delete window") << u"delete"_s;
    QTest::newRow("report of a missing file") << u"report"_s;
    QTest::newRow("message before printing") << u"message"_s;
}

// A task bar shows each window with the program's icon and groups them under the
// desktop entry.
void StartupTest::program_everyWindowHasProgramIconAndClass()
{
    QFETCH(QString, window);
    QTemporaryDir directory;
    if (window != u"report"_s)
        QVERIFY(support::WriteFile(
            directory.filePath(u"baza.txt"_s), sampleLines.join(QLatin1Char('\n')).toUtf8()));
    support::XServer server;
    startProgram(server, directory.path());
    QString shown;
    if (window == u"report"_s) {
        shown = server.waitForWindow(u"^carte de telefon$"_s);
    } else {
        const QString main = server.waitForWindow(u"carte de telefoane"_s);
        QVERIFY2(!main.isEmpty(), "the main window did not appear");
        shown = main;
        if (window == u"delete"_s) {
            openDeleteWindow(server, main);
            shown = server.waitForWindow(u"stergere"_s);
        } else if (window == u"message"_s) {
            server.run(u"xdotool"_s, { u"windowfocus"_s, u"--sync"_s, main });
            server.run(u"xdotool"_s, { u"key"_s, u"alt+f"_s });
            QTest::qWait(300);
            server.run(u"xdotool"_s, { u"key"_s, u"p"_s });
            shown = server.waitForWindow(u"^carte de telefon$"_s);
        }
    }
    QVERIFY2(!shown.isEmpty(), "the window did not appear");
    QCOMPARE(server.icon(shown), programIcon());

    const QString windowClass = desktopWindowClass();
    QVERIFY2(!windowClass.isEmpty(), "the desktop entry names no StartupWMClass");
    // "instance", "class"
    QCOMPARE(server.property(shown, u"WM_CLASS"_s).section(u", "_s, 1), u"\"%1\""_s.arg(windowClass));
    // Gone before its X server is.
    cleanup();
}

// Under a window manager the design's width and height are those of the whole frame,
// its title bar included, as they are on the screen the design was made for.
void StartupTest::program_underWindowManager_framesHaveDesignSize()
{
    QTemporaryDir directory;
    QVERIFY(
        support::WriteFile(directory.filePath(u"baza.txt"_s), sampleLines.join(QLatin1Char('\n')).toUtf8()));
    if (QStandardPaths::findExecutable(u"Xvfb"_s).isEmpty())
        QSKIP("Xvfb is not installed");
    support::XServer server;
    QVERIFY2(!server.display().isEmpty(), "Xvfb did not start");
    const QString problem = server.startWindowManager();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    startProgram(server, directory.path());
    const QString main = server.waitForWindow(u"carte de telefoane"_s);
    QVERIFY2(!main.isEmpty(), "the main window did not appear");
    QTRY_VERIFY_WITH_TIMEOUT(
        server.property(main, u"_NET_WM_STATE"_s).contains(u"_NET_WM_STATE_MAXIMIZED_HORZ"_s), 5000);

    openDeleteWindow(server, main);
    const QString deleteWindow = server.waitForWindow(u"stergere"_s);
    QVERIFY2(!deleteWindow.isEmpty(), "the delete window did not open");
    QTRY_COMPARE_WITH_TIMEOUT(server.frame(deleteWindow), QRect(333, 211, 696, 480), 5000);

    // Restored from maximised by a double click on its title bar, the main window
    // takes its design place and size.
    const QRect maximised = server.frame(main);
    const QPoint titleBar(maximised.center().x(), (maximised.top() + server.interior(main).top()) / 2);
    server.run(u"xdotool"_s,
        { u"mousemove"_s, QString::number(titleBar.x()), QString::number(titleBar.y()), u"click"_s,
            u"--repeat"_s, u"2"_s, u"--delay"_s, u"80"_s, u"1"_s });
    QTRY_COMPARE_WITH_TIMEOUT(server.frame(main), QRect(228, 132, 696, 480), 5000);

    // A size the user gives a window afterwards is its own.
    server.run(u"xdotool"_s, { u"windowsize"_s, deleteWindow, u"500"_s, u"400"_s });
    QTRY_COMPARE_WITH_TIMEOUT(server.interior(deleteWindow).size(), QSize(500, 400), 5000);
    QTest::qWait(500);
    QCOMPARE(server.interior(deleteWindow).size(), QSize(500, 400));
    exitThroughMenu(server, main);
}

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
