#include "support/FormDesign.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include <QHelpEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QToolTip>

using namespace forms_test;
using namespace Qt::StringLiterals;

// The main window as it looks and answers before any command runs.
class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void frame_atDesignPlaceAndSize();
    void shown_isMaximised();
    void caption_iconNameAndHint();
    void controls_data();
    void controls();
    void controls_underTheMenuBar();
    void panel_takesNoFocus();
    void tabOrder_data();
    void tabOrder();
    void hint_data();
    void hint();
    void cursor_data();
    void cursor();
    void surface_hasWindowColour();
    void font_data();
    void font();
    void menu_fileWithThreeItemsAndNoShortcuts();
    void richEdit_editableWrapsWithoutScrollBars();

private:
    void showMainWindow();

    support::PerTest<WorkingDirectory> directory_;
};

void MainWindowTest::init()
{
    QVERIFY(directory_.renew());
    createFormsOnSample();
}

void MainWindowTest::cleanup()
{
    Form1->hide();
    Form2->hide();
    directory_.reset();
}

void MainWindowTest::showMainWindow()
{
    Form1->Show();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
}

void MainWindowTest::frame_atDesignPlaceAndSize()
{
    QCOMPARE(Form1->frameGeometry(), support::ReadFormDesign(u"Unit1.ui"_s).frame);
    QCOMPARE(Form2->frameGeometry(), support::ReadFormDesign(u"Unit2.ui"_s).frame);
    // The old program's places and sizes, whatever the design files say.
    QCOMPARE(Form1->frameGeometry(), QRect(228, 132, 696, 480));
    QCOMPARE(Form2->frameGeometry(), QRect(333, 211, 696, 480));
    QCOMPARE(Form1->RichEdit1->geometry(), QRect(400, 72, 281, 353));
}

void MainWindowTest::shown_isMaximised()
{
    QVERIFY(!Form1->isVisible());
    showMainWindow();
    QVERIFY(Form1->windowState().testFlag(Qt::WindowMaximized));
    // Only the first showing applies the design state; the delete window has none.
    Form2->Show();
    QVERIFY(!Form2->windowState().testFlag(Qt::WindowMaximized));
}

void MainWindowTest::caption_iconNameAndHint()
{
    const QString caption = QString(29, QLatin1Char(' ')) + QStringLiteral("carte de telefoane ");
    QCOMPARE(Form1->windowTitle(), caption);
    QCOMPARE(Form1->windowIconText(), QStringLiteral("carte de telefon"));
    QCOMPARE(Form1->toolTip(), QStringLiteral(" carte de telefoane "));
    // Hints show even while another window (the delete window) is the active one.
    QVERIFY(Form1->testAttribute(Qt::WA_AlwaysShowToolTips));
    QCOMPARE(Form1->Button3->toolTip(),
        QStringLiteral("acolo unde e cursorul text poti sterge daca vrei o inregistrare "));
    QCOMPARE(Form2->windowTitle(),
        QString(19, QLatin1Char(' ')) + QStringLiteral("stergere") + QString(9, QLatin1Char(' '))
            + QStringLiteral("date"));
}

void MainWindowTest::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    for (const char *window : { "Form1", "Form2" }) {
        const QString form = QString::fromLatin1(window);
        const support::FormDesign design
            = support::ReadFormDesign(form == u"Form1"_s ? u"Unit1.ui"_s : u"Unit2.ui"_s);
        QVERIFY(!design.controls.isEmpty());
        for (auto control = design.controls.begin(); control != design.controls.end(); ++control) {
            const QString tag = form == u"Form1"_s ? control.key() : u"delete window "_s + control.key();
            QTest::newRow(qPrintable(tag))
                << (form == u"Form1"_s ? control.key() : form + u'.' + control.key()) << control->geometry
                << control->text;
        }
    }
}

void MainWindowTest::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QWidget *control = name.startsWith(QLatin1String("Form2.")) ? Form2->findChild<QWidget *>(name.mid(6))
                                                                : Form1->findChild<QWidget *>(name);
    QVERIFY(control != nullptr);
    QVERIFY(
        control->parentWidget() == control->window()->findChild<QWidget *>(QStringLiteral("centralwidget")));
    QCOMPARE(control->geometry(), geometry);
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        QCOMPARE(edit->text(), text);
    else if (auto *button = qobject_cast<QPushButton *>(control))
        QCOMPARE(button->text(), text);
    else if (auto *label = qobject_cast<QLabel *>(control))
        QCOMPARE(label->text(), text);
}

void MainWindowTest::controls_underTheMenuBar()
{
    showMainWindow();
    QVERIFY(Form1->menuBar() == Form1->MainMenu1);
    QVERIFY(Form1->MainMenu1->isVisible());
    QVERIFY(Form1->centralWidget()->y() >= Form1->MainMenu1->geometry().bottom());
}

void MainWindowTest::panel_takesNoFocus()
{
    showMainWindow();
    QTest::mouseClick(Form1->Panel1, Qt::LeftButton);
    QVERIFY(!Form1->Panel1->hasFocus());
}

void MainWindowTest::tabOrder_data()
{
    QTest::addColumn<bool>("listShown");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("list shown") << true
                                << QStringList { u"Edit1"_s, u"Edit2"_s, u"Edit3"_s, u"Button1"_s,
                                       u"Button2"_s, u"RichEdit1"_s, u"Button3"_s, u"Edit1"_s };
    QTest::newRow("list hidden") << false
                                 << QStringList { u"Edit1"_s, u"Edit2"_s, u"Edit3"_s, u"Button1"_s,
                                        u"Button2"_s, u"Button3"_s, u"Edit1"_s };
}

void MainWindowTest::tabOrder()
{
    QFETCH(bool, listShown);
    QFETCH(QStringList, order);
    showMainWindow();
    Form1->RichEdit1->Visible(listShown);
    Form1->Edit1->setFocus(Qt::OtherFocusReason);
    QStringList visited;
    for (int step = 0; step < order.size(); ++step) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus != nullptr);
        visited.append(focus->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(visited, order);
}

void MainWindowTest::hint_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    const QString window = QStringLiteral(" carte de telefoane ");
    for (const char *name :
        { "Edit1", "Edit2", "Edit3", "Button1", "Button2", "Panel1", "MainMenu1", "centralwidget" })
        QTest::newRow(name) << QString::fromLatin1(name) << window;
    QTest::newRow("list text area") << QStringLiteral("qt_scrollarea_viewport") << window;
    QTest::newRow("Button3 has its own") << QStringLiteral(
        "Button3") << QStringLiteral("acolo unde e cursorul text poti sterge daca vrei o inregistrare ");
}

void MainWindowTest::hint()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    showMainWindow();
    Form1->RichEdit1->Visible(true);
    QWidget *control = name == QLatin1String("qt_scrollarea_viewport") ? Form1->RichEdit1->viewport()
                                                                       : Form1->findChild<QWidget *>(name);
    QVERIFY(control != nullptr);
    QToolTip::hideText();
    const QPoint position(5, 5);
    QHelpEvent request(QEvent::ToolTip, position, control->mapToGlobal(position));
    QApplication::sendEvent(control, &request);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), expected);
    QToolTip::hideText();
}

void MainWindowTest::cursor_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("shape");
    QTest::newRow("window surface") << u"centralwidget"_s << int(Qt::PointingHandCursor);
    for (const char *name : { "Button1", "Button2", "Button3", "Panel1", "MainMenu1", "RichEdit1" })
        QTest::newRow(name) << QString::fromLatin1(name) << int(Qt::ArrowCursor);
    for (const char *name : { "Edit1", "Edit2", "Edit3" })
        QTest::newRow(name) << QString::fromLatin1(name) << int(Qt::IBeamCursor);
    QTest::newRow("list text area") << u"qt_scrollarea_viewport"_s << int(Qt::IBeamCursor);
}

void MainWindowTest::cursor()
{
    QFETCH(QString, name);
    QFETCH(int, shape);
    QWidget *control = name == QLatin1String("qt_scrollarea_viewport") ? Form1->RichEdit1->viewport()
                                                                       : Form1->findChild<QWidget *>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(int(control->cursor().shape()), shape);
}

void MainWindowTest::surface_hasWindowColour()
{
    showMainWindow();
    const QImage image = Form1->grab().toImage();
    // Left of the add button and below the fields: nothing but the window's surface.
    const QPoint spot = Form1->centralWidget()->mapTo(Form1, QPoint(40, 280));
    QCOMPARE(image.pixelColor(spot * image.devicePixelRatio()), QColor(166, 202, 240));
}

void MainWindowTest::font_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name :
        { "Edit1", "Edit2", "Edit3", "Button1", "Button2", "RichEdit1", "Button3", "Panel1", "MainMenu1" })
        QTest::newRow(name) << QString::fromLatin1(name);
    QTest::newRow("delete window Button1") << QStringLiteral("Form2.Button1");
}

void MainWindowTest::font()
{
    QFETCH(QString, name);
    QWidget *control = name.startsWith(QLatin1String("Form2.")) ? Form2->findChild<QWidget *>(name.mid(6))
                                                                : Form1->findChild<QWidget *>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(control->font().pointSize(), 8);
}

void MainWindowTest::menu_fileWithThreeItemsAndNoShortcuts()
{
    const QList<QAction *> top = Form1->MainMenu1->actions();
    QCOMPARE(top.size(), 1);
    QCOMPARE(top.first()->text(), QStringLiteral("&File"));
    QVERIFY(top.first() == Form1->File1);
    QMenu *file = top.first()->menu();
    QVERIFY(file != nullptr);
    QStringList items;
    for (QAction *item : file->actions()) {
        items.append(item->text());
        QVERIFY2(item->shortcut().isEmpty(), qPrintable(item->text()));
    }
    QCOMPARE(items, (QStringList { u"&Save"_s, u"&Print..."_s, u"E&xit"_s }));
    QCOMPARE(file->actions(), (QList<QAction *> { Form1->Save1, Form1->Print1, Form1->Exit1 }));
}

void MainWindowTest::richEdit_editableWrapsWithoutScrollBars()
{
    showMainWindow();
    TRichEdit *list = Form1->RichEdit1;
    list->Visible(true);
    list->Clear();
    for (int line = 0; line < 100; ++line)
        list->Lines->Add(QStringLiteral("Ionescu  Maria  0722 123 456 ").repeated(line == 0 ? 5 : 1));
    list->moveCursor(QTextCursor::Start);
    list->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(list, QStringLiteral("x"));
    QVERIFY(list->Lines->Strings(0).startsWith(QLatin1String("xIonescu")));
    QTRY_VERIFY(list->document()->firstBlock().layout()->lineCount() > 1);
    QVERIFY(!list->verticalScrollBar()->isVisible());
    QVERIFY(!list->horizontalScrollBar()->isVisible());
}

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
