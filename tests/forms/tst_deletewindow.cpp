#include "support/TestFiles.h"
#include "support/WindowFixture.h"

#include <QTextBlock>

using namespace forms_test;
using namespace Qt::StringLiterals;

// The delete window removes the line of the main window's list that holds the caret
// when its button is pressed, and nothing otherwise.
class DeleteWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void button_deletesCaretLine_data();
    void button_deletesCaretLine();
    void caretMovedAfterOpening_thatLineGoes();
    void listHidden_stillDeletesAndStaysHidden();
    void closedByCloseControl_deletesNothing();
    void caretPastLastLine_deletesNothing();
    void emptyList_deletesNothingAndReportsNothing();

private:
    void openDeleteWindowWithCaretAt(int line, int column);
    void pressDelete();

    support::PerTest<WorkingDirectory> directory_;
};

void DeleteWindowTest::init()
{
    QVERIFY(directory_.renew());
    createFormsOnSample();
    Form1->Show();
    QVERIFY(QTest::qWaitForWindowActive(Form1));
    QTest::mouseClick(Form1->Button2, Qt::LeftButton);
    QVERIFY(Form1->RichEdit1->isVisible());
}

void DeleteWindowTest::cleanup()
{
    Form1->hide();
    Form2->hide();
    directory_.reset();
}

// Clicks into the list at the line and column, then opens the delete window.
void DeleteWindowTest::openDeleteWindowWithCaretAt(int line, int column)
{
    TRichEdit *list = Form1->RichEdit1;
    QTextCursor target(list->document()->findBlockByNumber(line));
    target.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, column);
    const QPoint spot = list->cursorRect(target).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, spot);
    QCOMPARE(list->CaretPos().Y, line);
    QTest::mouseClick(Form1->Button3, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(Form2));
}

void DeleteWindowTest::pressDelete()
{
    MessageBoxCloser closer;
    QTest::mouseClick(Form2->Button1, Qt::LeftButton);
    QCOMPARE(closer.shown.size(), 0);
    QVERIFY(!Form2->isVisible());
}

void DeleteWindowTest::button_deletesCaretLine_data()
{
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::newRow("first line, start") << 0 << 0;
    QTest::newRow("second of five, middle") << 1 << 5;
    QTest::newRow("fourth line, end") << 3 << int(sampleLines[3].size());
    QTest::newRow("last line") << 4 << 2;
}

void DeleteWindowTest::button_deletesCaretLine()
{
    QFETCH(int, line);
    QFETCH(int, column);
    openDeleteWindowWithCaretAt(line, column);
    pressDelete();
    QStringList expected = sampleLines;
    expected.removeAt(line);
    QCOMPARE(support::Lines(*Form1->RichEdit1), expected);
    QVERIFY(Form1->RichEdit1->isVisible());
}

void DeleteWindowTest::caretMovedAfterOpening_thatLineGoes()
{
    openDeleteWindowWithCaretAt(1, 0);
    // Back in the list, two lines further down, with the delete window still open.
    Form1->activateWindow();
    Form1->RichEdit1->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(Form1->RichEdit1, Qt::Key_Down);
    QTest::keyClick(Form1->RichEdit1, Qt::Key_Down);
    QVERIFY(Form2->isVisible());
    pressDelete();
    QStringList expected = sampleLines;
    expected.removeAt(3);
    QCOMPARE(support::Lines(*Form1->RichEdit1), expected);
}

void DeleteWindowTest::listHidden_stillDeletesAndStaysHidden()
{
    openDeleteWindowWithCaretAt(2, 0);
    Form1->RichEdit1->Visible(false);
    pressDelete();
    QStringList expected = sampleLines;
    expected.removeAt(2);
    QCOMPARE(support::Lines(*Form1->RichEdit1), expected);
    QVERIFY(!Form1->RichEdit1->Visible());
}

void DeleteWindowTest::closedByCloseControl_deletesNothing()
{
    openDeleteWindowWithCaretAt(1, 0);
    QVERIFY(Form2->isVisible());
    // What the title bar's close control sends.
    Form2->close();
    QVERIFY(!Form2->isVisible());
    QCOMPARE(support::Lines(*Form1->RichEdit1), sampleLines);
    // Closing the delete window does not end the program.
    QVERIFY(Form1->isVisible());
}

void DeleteWindowTest::caretPastLastLine_deletesNothing()
{
    TRichEdit *list = Form1->RichEdit1;
    list->moveCursor(QTextCursor::End);
    // The list ends in the empty paragraph where the next line would go.
    QCOMPARE(list->CaretPos().Y, sampleLines.size());
    QTest::mouseClick(Form1->Button3, Qt::LeftButton);
    pressDelete();
    QCOMPARE(support::Lines(*list), sampleLines);
}

void DeleteWindowTest::emptyList_deletesNothingAndReportsNothing()
{
    Form1->RichEdit1->Clear();
    QTest::mouseClick(Form1->Button3, Qt::LeftButton);
    pressDelete();
    QCOMPARE(Form1->RichEdit1->Lines->Count(), 0);
}

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    DeleteWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_deletewindow.moc"
