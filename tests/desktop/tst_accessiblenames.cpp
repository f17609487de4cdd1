#include "vcl/Accessibility.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The rules that turn what a sighted user sees into what a screen reader says, on a
// window built here rather than the program's own.
class AccessibleNamesTest : public QObject {
    Q_OBJECT
private slots:
    void buttonCaption_becomesName_data();
    void buttonCaption_becomesName();
    void description_isNearestHintElseTitle_data();
    void description_isNearestHintElseTitle();
    void editField_namedByItsInitialText();
    void textBox_namedByWindowTitle();
    void presetNameAndDescription_areKept();
    void containers_getNoName();
};

namespace {

QString accessibleText(QWidget *widget, QAccessible::Text text)
{
    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(widget);
    return interface != nullptr ? interface->text(text) : QStringLiteral("<no interface>");
}

}   // namespace

void AccessibleNamesTest::buttonCaption_becomesName_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << u"adauga"_s << u"adauga"_s;
    QTest::newRow("mnemonic") << u"&Print..."_s << u"Print..."_s;
    QTest::newRow("mnemonic inside") << u"E&xit"_s << u"Exit"_s;
    QTest::newRow("escaped ampersand") << u"Ana && Ion"_s << u"Ana & Ion"_s;
    QTest::newRow("padding blanks") << u"   arata cartea  "_s << u"arata cartea"_s;
    QTest::newRow("inner double blank") << u"ai sters  o inregistrare"_s << u"ai sters o inregistrare"_s;
    QTest::newRow("trailing ampersand") << u"A&"_s << u"A"_s;
}

void AccessibleNamesTest::buttonCaption_becomesName()
{
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QMainWindow window;
    auto *button = new QPushButton(caption, &window);
    accessibility::DescribeControls(window);
    QCOMPARE(accessibleText(button, QAccessible::Name), name);
}

void AccessibleNamesTest::description_isNearestHintElseTitle_data()
{
    QTest::addColumn<QString>("ownHint");
    QTest::addColumn<QString>("parentHint");
    QTest::addColumn<QString>("windowHint");
    QTest::addColumn<QString>("description");
    const QString none;
    QTest::newRow("own hint") << u" sterge "_s << u"panou"_s << u"fereastra"_s << u"sterge"_s;
    QTest::newRow("parent's hint") << none << u"panou"_s << u"fereastra"_s << u"panou"_s;
    QTest::newRow("window's hint") << none << none << u" carte de telefoane "_s << u"carte de telefoane"_s;
    QTest::newRow("no hint: title") << none << none << none << u"titlu ferestrei"_s;
}

void AccessibleNamesTest::description_isNearestHintElseTitle()
{
    QFETCH(QString, ownHint);
    QFETCH(QString, parentHint);
    QFETCH(QString, windowHint);
    QFETCH(QString, description);
    QMainWindow window;
    window.setWindowTitle(u"   titlu   ferestrei "_s);
    window.setToolTip(windowHint);
    auto *panel = new QWidget(&window);
    panel->setToolTip(parentHint);
    window.setCentralWidget(panel);
    auto *button = new QPushButton(u"buton"_s, panel);
    button->setToolTip(ownHint);
    accessibility::DescribeControls(window);
    QCOMPARE(accessibleText(button, QAccessible::Description), description);
}

void AccessibleNamesTest::editField_namedByItsInitialText()
{
    QMainWindow window;
    auto *edit = new QLineEdit(u"      nr. de telefon"_s, &window);
    accessibility::DescribeControls(window);
    edit->setText(u"0722 123 456"_s);
    QCOMPARE(accessibleText(edit, QAccessible::Name), u"nr. de telefon"_s);
    QCOMPARE(accessibleText(edit, QAccessible::Value), u"0722 123 456"_s);
}

void AccessibleNamesTest::textBox_namedByWindowTitle()
{
    QMainWindow window;
    window.setWindowTitle(u"        carte de telefoane "_s);
    auto *box = new QPlainTextEdit(u"RichEdit1"_s, &window);
    accessibility::DescribeControls(window);
    QCOMPARE(accessibleText(box, QAccessible::Name), u"carte de telefoane"_s);
    QCOMPARE(accessibleText(&window, QAccessible::Name), u"carte de telefoane"_s);
}

void AccessibleNamesTest::presetNameAndDescription_areKept()
{
    QMainWindow window;
    auto *label = new QLabel(u"Datele"_s, &window);
    label->setAccessibleName(u"nume ales"_s);
    label->setAccessibleDescription(u"descriere aleasa"_s);
    accessibility::DescribeControls(window);
    QCOMPARE(accessibleText(label, QAccessible::Name), u"nume ales"_s);
    QCOMPARE(accessibleText(label, QAccessible::Description), u"descriere aleasa"_s);
}

void AccessibleNamesTest::containers_getNoName()
{
    QMainWindow window;
    window.setWindowTitle(u"fereastra"_s);
    auto *panel = new QWidget(&window);
    window.setCentralWidget(panel);
    accessibility::DescribeControls(window);
    QVERIFY(panel->accessibleName().isEmpty());
    QVERIFY(panel->accessibleDescription().isEmpty());
}

QTEST_MAIN(AccessibleNamesTest)

#include "tst_accessiblenames.moc"
