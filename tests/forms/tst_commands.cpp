#include "richtext/Printing.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"
#include "system/Sound.h"

#include <QClipboard>
#include <QMenu>

using namespace forms_test;
using namespace Qt::StringLiterals;

// The main window's buttons and menu items: what each does, in which order, and
// whether the list is shown afterwards.
class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void add_data();
    void add();
    void add_threeClicks_threeIdenticalLines();
    void add_longPastedField_keptWhole_data();
    void add_longPastedField_keptWhole();
    void show_listShownWithLoadedLines();
    void delete_opensDeleteWindowAndMainWindowStaysUsable();
    void save_data();
    void save();
    void save_emptyList_replacesFile();
    void print_beepsAsksThenPrintsWholeText();
    void print_noPrinter_showsListThenReportsFailure();
    void exit_beepsEndsRunWritesNothing();
    void keyOnFocusedButton_data();
    void keyOnFocusedButton();

private:
    void showMainWindow();
    void chooseFromFileMenu(Qt::Key key);

    support::PerTest<WorkingDirectory> directory_;
    QStringList steps_;
};

void CommandsTest::initTestCase()
{
    // No print system is reachable: nothing here may reach a real printer.
    qputenv("CUPS_SERVER", "/nonexistent/cups.sock");
    toolkit::SetMessageBeepHook([this](UINT type) { steps_.append(u"beep %1"_s.arg(type)); });
}

void CommandsTest::init()
{
    steps_.clear();
    QVERIFY(directory_.renew());
    createFormsOnSample();
    QCOMPARE(support::Lines(*Form1->RichEdit1), sampleLines);
    QVERIFY(!Form1->RichEdit1->Visible());
}

void CommandsTest::cleanup()
{
    printing::PrintToFile({});
    Form1->hide();
    Form2->hide();
    directory_.reset();
}

void CommandsTest::showMainWindow()
{
    Form1->Show();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
}

// Opens File with Alt+F and picks the item by its underlined letter, as a person would;
// a failure then reaches the application's report as it does in the program.
void CommandsTest::chooseFromFileMenu(Qt::Key key)
{
    QMenu *file = Form1->File1->menu();
    QTest::keyClick(Form1, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(file->isVisible());
    QTest::keyClick(file, key);
    QTRY_VERIFY(!file->isVisible());
}

void CommandsTest::add_data()
{
    QTest::addColumn<QStringList>("typed");   // empty: the fields as designed
    QTest::addColumn<QString>("line");
    QTest::newRow("typed values") << QStringList { u"Pop"_s, u"Ana"_s, u"555"_s } << u"Pop  Ana  555"_s;
    QTest::newRow("all empty") << QStringList { QString(), QString(), QString() } << u"    "_s;
    QTest::newRow("blanks kept") << QStringList { u" Pop "_s, u"Ana "_s, u" 555"_s }
                                 << u" Pop   Ana    555"_s;
    QTest::newRow("untouched fields")
        << QStringList() << u"nume  prenume"_s + QString(20, QLatin1Char(' ')) + u"nr. de telefon"_s;
}

void CommandsTest::add()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, line);
    showMainWindow();
    Form1->Button2->click();
    QVERIFY(Form1->RichEdit1->Visible());
    if (!typed.isEmpty()) {
        const QList<TEdit *> fields { Form1->Edit1, Form1->Edit2, Form1->Edit3 };
        for (int field = 0; field < 3; ++field) {
            fields[field]->clear();
            QTest::keyClicks(fields[field], typed[field]);
        }
    }
    QTest::mouseClick(Form1->Button1, Qt::LeftButton);
    QCOMPARE(support::Lines(*Form1->RichEdit1), sampleLines + QStringList { line });
    QVERIFY(!Form1->RichEdit1->Visible());
}

void CommandsTest::add_threeClicks_threeIdenticalLines()
{
    showMainWindow();
    for (int click = 0; click < 3; ++click)
        QTest::mouseClick(Form1->Button1, Qt::LeftButton);
    const QString line = u"nume  prenume"_s + QString(20, QLatin1Char(' ')) + u"nr. de telefon"_s;
    QCOMPARE(support::Lines(*Form1->RichEdit1), sampleLines + QStringList(3, line));
    QVERIFY(!Form1->RichEdit1->Visible());
}

void CommandsTest::add_longPastedField_keptWhole_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("length");
    QTest::newRow("surname, 40,000") << 0 << 40000;
    QTest::newRow("surname, 100,000") << 0 << 100000;
    QTest::newRow("first name, 100,000") << 1 << 100000;
    QTest::newRow("phone, 100,000") << 2 << 100000;
}

// The list takes a line of any length: a field keeps all that is pasted into it.
void CommandsTest::add_longPastedField_keptWhole()
{
    QFETCH(int, field);
    QFETCH(int, length);
    showMainWindow();
    const QList<TEdit *> fields { Form1->Edit1, Form1->Edit2, Form1->Edit3 };
    for (TEdit *edit : fields)
        edit->clear();
    // Its end differs from the rest, so that a cut shows.
    const QString text = QString(length - 3, QLatin1Char('7')) + u"end"_s;
    QGuiApplication::clipboard()->setText(text);
    fields[field]->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(fields[field], Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(fields[field]->Text().size(), length);

    QTest::mouseClick(Form1->Button1, Qt::LeftButton);
    QStringList parts(3);
    parts[field] = text;
    const QString line = Form1->RichEdit1->Lines->Strings(Form1->RichEdit1->Lines->Count() - 1);
    QCOMPARE(line.size(), length + 4);
    QVERIFY(line == parts.join(u"  "_s));
}

void CommandsTest::show_listShownWithLoadedLines()
{
    showMainWindow();
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    QVERIFY(Form1->RichEdit1->isVisible());
    QCOMPARE(support::Lines(*Form1->RichEdit1), sampleLines);
}

void CommandsTest::delete_opensDeleteWindowAndMainWindowStaysUsable()
{
    showMainWindow();
    QTest::mouseClick(Form1->Button3, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(Form2));
    QVERIFY(Form2->isVisible());
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(!Form1->RichEdit1->Visible());
    // The main window still takes clicks while the delete window is open.
    QTest::mouseClick(Form1->Button1, Qt::LeftButton);
    QCOMPARE(Form1->RichEdit1->Lines->Count(), sampleLines.size() + 1);
}

void CommandsTest::save_data()
{
    QTest::addColumn<bool>("listShown");
    QTest::newRow("list shown") << true;
    QTest::newRow("list hidden") << false;
}

void CommandsTest::save()
{
    QFETCH(bool, listShown);
    showMainWindow();
    Form1->RichEdit1->Visible(listShown);
    Form1->Edit1->setText(u"Ţîrlea"_s);
    QTest::mouseClick(Form1->Button1, Qt::LeftButton);
    Form1->RichEdit1->Visible(listShown);
    const QStringList expected = support::Lines(*Form1->RichEdit1);

    MessageBoxCloser closer;
    chooseFromFileMenu(Qt::Key_S);
    QCOMPARE(closer.shown.size(), 0);
    QCOMPARE(Form1->RichEdit1->Visible(), listShown);
    QVERIFY(support::ReadFile(u"baza.doc"_s).startsWith("{\\rtf"));
    TRichEdit readBack;
    readBack.Lines->LoadFromFile(u"baza.doc"_s);
    QCOMPARE(support::Lines(readBack), expected);
    QVERIFY(expected.last().startsWith(u"Ţîrlea  "_s));
}

void CommandsTest::save_emptyList_replacesFile()
{
    QVERIFY(support::WriteFile(u"baza.doc"_s, "{\\rtf1 old content\\par}"));
    showMainWindow();
    Form1->RichEdit1->Clear();
    MessageBoxCloser closer;
    chooseFromFileMenu(Qt::Key_S);
    QCOMPARE(closer.shown.size(), 0);
    QVERIFY(!support::ReadFile(u"baza.doc"_s).contains("old content"));
    TRichEdit readBack;
    readBack.Lines->Add(u"placeholder"_s);
    readBack.Lines->LoadFromFile(u"baza.doc"_s);
    QCOMPARE(readBack.Lines->Count(), 0);
}

void CommandsTest::print_beepsAsksThenPrintsWholeText()
{
    const QString pdf = directory_->filePath(u"job.pdf"_s);
    printing::PrintToFile(pdf);
    showMainWindow();
    bool listShownAtMessage = false;
    bool printedBeforeMessageClosed = true;
    MessageBoxCloser closer([&](const ShownMessage &) {
        steps_.append(u"message"_s);
        listShownAtMessage = Form1->RichEdit1->isVisible();
        printedBeforeMessageClosed = QFile::exists(pdf);
    });
    chooseFromFileMenu(Qt::Key_P);

    QCOMPARE(steps_, (QStringList { u"beep 5000"_s, u"message"_s }));
    QCOMPARE(closer.shown.size(), 1);
    QCOMPARE(closer.shown[0].title, u"carte de telefon"_s);
    QCOMPARE(closer.shown[0].text, u"printeaza ceea ce apare in caseta"_s);
    QVERIFY(listShownAtMessage);
    QVERIFY(!printedBeforeMessageClosed);
    QVERIFY(Form1->RichEdit1->isVisible());

    const std::optional<support::PdfContent> printed = support::ReadPdf(pdf);
    QVERIFY(printed);
    QCOMPARE(printed->lines, sampleLines + QStringList { u"1"_s });
    QCOMPARE(printed->title, sampleLines.join(u"\r\n"_s) + u"\r\n"_s);
}

void CommandsTest::print_noPrinter_showsListThenReportsFailure()
{
    showMainWindow();
    bool listShownAtFirstMessage = false;
    MessageBoxCloser closer([&](const ShownMessage &) {
        if (steps_.isEmpty() || steps_.last() != u"message"_s)
            listShownAtFirstMessage = listShownAtFirstMessage || Form1->RichEdit1->isVisible();
        steps_.append(u"message"_s);
    });
    chooseFromFileMenu(Qt::Key_P);
    QCOMPARE(steps_, (QStringList { u"beep 5000"_s, u"message"_s, u"message"_s }));
    QCOMPARE(closer.shown[0].text, u"printeaza ceea ce apare in caseta"_s);
    QVERIFY(listShownAtFirstMessage);
    QCOMPARE(closer.shown[1].title, u"carte de telefon"_s);
    QCOMPARE(closer.shown[1].icon, QMessageBox::Critical);
    QCOMPARE(closer.shown[1].text,
        u"Nu se poate tipari: pe acest calculator nu este instalata nicio imprimanta."_s);
    QVERIFY(Form1->RichEdit1->isVisible());
    QCOMPARE(support::Lines(*Form1->RichEdit1), sampleLines);
}

void CommandsTest::exit_beepsEndsRunWritesNothing()
{
    // Run shows and waits on the main window: the first one this program built.
    auto *mainWindow = qobject_cast<TForm1 *>(Application->MainForm());
    QVERIFY(mainWindow != nullptr);
    const QStringList before = directory_->entries();
    QTimer::singleShot(0, mainWindow, [mainWindow] { mainWindow->Exit1->trigger(); });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(10000);
    Application->Run();
    QVERIFY2(watchdog.isActive(), "Run did not end after Exit");
    QCOMPARE(steps_, QStringList { u"beep 7000"_s });
    QCOMPARE(directory_->entries(), before);
}

void CommandsTest::keyOnFocusedButton_data()
{
    QTest::addColumn<QString>("button");   // "Form2" for the delete window's button
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("linesAdded");
    QTest::addColumn<bool>("listShown");
    QTest::addColumn<bool>("deleteWindowShown");
    const int none = Qt::NoModifier;
    QTest::newRow("Enter on add") << u"Button1"_s << int(Qt::Key_Return) << none << 1 << false << false;
    QTest::newRow("keypad Enter on show")
        << u"Button2"_s << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 0 << true << false;
    QTest::newRow("Enter on delete") << u"Button3"_s << int(Qt::Key_Return) << none << 0 << false << true;
    QTest::newRow("Enter on the delete window's button")
        << u"Form2"_s << int(Qt::Key_Return) << none << -1 << false << false;
    QTest::newRow("Space on add, as before")
        << u"Button1"_s << int(Qt::Key_Space) << none << 1 << false << false;
    QTest::newRow("Ctrl+Enter presses nothing")
        << u"Button1"_s << int(Qt::Key_Return) << int(Qt::ControlModifier) << 0 << false << false;
}

// Enter presses the focused button in both windows, as Space does.
void CommandsTest::keyOnFocusedButton()
{
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, linesAdded);
    QFETCH(bool, listShown);
    QFETCH(bool, deleteWindowShown);
    showMainWindow();
    TButton *target = Form1->findChild<TButton *>(button);
    if (button == u"Form2"_s) {
        Form2->Show();
        QVERIFY(QTest::qWaitForWindowActive(Form2));
        target = Form2->Button1;
    }
    QVERIFY(target != nullptr);
    target->setFocus(Qt::TabFocusReason);
    QVERIFY(target->hasFocus());
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(Form1->RichEdit1->Lines->Count(), sampleLines.size() + linesAdded);
    QCOMPARE(Form1->RichEdit1->isVisible(), listShown);
    QCOMPARE(Form2->isVisible(), deleteWindowShown);
}

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    CommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_commands.moc"
