#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "support/TestFiles.h"
#include "support/WindowFixture.h"
#include "vcl/Dialogs.h"
#include "vcl/TApplication.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;

// What a screen reader says for each control of the program's two windows and for its
// message boxes.
class FormAccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void control_hasNameAndDescription_data();
    void control_hasNameAndDescription();
    void everyNamedControl_hasDescription();
    void editField_keepsNameWhenTyped();
    void fileMenu_itemsAreNamed();
    void messageBox_readsItsText_data();
    void messageBox_readsItsText();
    void focusedControl_showsClearRing_data();
    void focusedControl_showsClearRing();

private:
    support::WorkingDirectory directory_;
};

namespace {

QAccessibleInterface *interfaceOf(QObject *object) { return QAccessible::queryAccessibleInterface(object); }

QWidget *control(const QString &window, const QString &name)
{
    QWidget *form = window == u"Form1"_s ? static_cast<QWidget *>(Form1) : static_cast<QWidget *>(Form2);
    return name == window ? form : form->findChild<QWidget *>(name);
}

}   // namespace

void FormAccessibilityTest::initTestCase()
{
    QVERIFY(directory_.isValid());
    // Without a phone book to load the program would report it in a box.
    forms_test::createFormsOnSample();
    QVERIFY(Form1 != nullptr && Form2 != nullptr);
}

void FormAccessibilityTest::control_hasNameAndDescription_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    const QString windowHint = u"carte de telefoane"_s;
    QTest::newRow("main window") << u"Form1"_s << u"Form1"_s << QAccessible::Window << u"carte de telefoane"_s
                                 << windowHint;
    QTest::newRow("surname") << u"Form1"_s << u"Edit1"_s << QAccessible::EditableText << u"nume"_s
                             << windowHint;
    QTest::newRow("first name") << u"Form1"_s << u"Edit2"_s << QAccessible::EditableText << u"prenume"_s
                                << windowHint;
    QTest::newRow("phone number") << u"Form1"_s << u"Edit3"_s << QAccessible::EditableText
                                  << u"nr. de telefon"_s << windowHint;
    QTest::newRow("add") << u"Form1"_s << u"Button1"_s << QAccessible::Button
                         << u"adauga in cartea de telefoane"_s << windowHint;
    QTest::newRow("show") << u"Form1"_s << u"Button2"_s << QAccessible::Button
                          << u"arata cartea de telefoane"_s << windowHint;
    QTest::newRow("delete") << u"Form1"_s << u"Button3"_s << QAccessible::Button
                            << u"sterge din cartea de telefoane"_s
                            << u"acolo unde e cursorul text poti sterge daca vrei o inregistrare"_s;
    QTest::newRow("list") << u"Form1"_s << u"RichEdit1"_s << QAccessible::EditableText
                          << u"carte de telefoane"_s << windowHint;
    QTest::newRow("panel")
        << u"Form1"_s << u"Panel1"_s << QAccessible::StaticText
        << u"Datele de mai jos sunt adaugate in cartea de telefoane daca dai click pe butonul de adaugare"_s
        << windowHint;
    QTest::newRow("delete window") << u"Form2"_s << u"Form2"_s << QAccessible::Window << u"stergere date"_s
                                   << QString();
    QTest::newRow("delete window's button") << u"Form2"_s << u"Button1"_s << QAccessible::Button
                                            << u"ai sters o inregistrare"_s << u"stergere date"_s;
}

void FormAccessibilityTest::control_hasNameAndDescription()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QWidget *widget = ::control(window, control);
    QVERIFY(widget != nullptr);
    QAccessibleInterface *interface = interfaceOf(widget);
    QVERIFY(interface != nullptr);
    QCOMPARE(interface->role(), role);
    QCOMPARE(interface->text(QAccessible::Name), name);
    QCOMPARE(interface->text(QAccessible::Description), description);
}

// Whatever control a later change adds gets both as well.
void FormAccessibilityTest::everyNamedControl_hasDescription()
{
    for (QWidget *form : { static_cast<QWidget *>(Form1), static_cast<QWidget *>(Form2) }) {
        const auto widgets = form->findChildren<QWidget *>();
        for (QWidget *widget : widgets) {
            const bool isControl = qobject_cast<QAbstractButton *>(widget)
                || qobject_cast<QLineEdit *>(widget) || qobject_cast<QLabel *>(widget)
                || qobject_cast<QPlainTextEdit *>(widget);
            // Qt's own parts (the menu bar's overflow button) are Qt's to name.
            if (!isControl || widget->window() != form || widget->objectName().startsWith(u"qt_"_s))
                continue;
            QAccessibleInterface *interface = interfaceOf(widget);
            QVERIFY2(
                !interface->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(widget->objectName()));
            QVERIFY2(!interface->text(QAccessible::Description).trimmed().isEmpty(),
                qPrintable(widget->objectName()));
        }
    }
}

void FormAccessibilityTest::editField_keepsNameWhenTyped()
{
    Form1->Edit1->clear();
    QTest::keyClicks(Form1->Edit1, u"Vasilescu"_s);
    QAccessibleInterface *interface = interfaceOf(Form1->Edit1);
    QCOMPARE(interface->text(QAccessible::Name), u"nume"_s);
    QCOMPARE(interface->text(QAccessible::Value), u"Vasilescu"_s);
}

void FormAccessibilityTest::fileMenu_itemsAreNamed()
{
    QAccessibleInterface *bar = interfaceOf(Form1->MainMenu1);
    QVERIFY(bar != nullptr);
    QCOMPARE(bar->childCount(), 1);
    QCOMPARE(bar->child(0)->text(QAccessible::Name), u"File"_s);
    QAccessibleInterface *menu = interfaceOf(Form1->File1->menu());
    QVERIFY(menu != nullptr);
    QStringList items;
    for (int index = 0; index < menu->childCount(); ++index)
        items.append(menu->child(index)->text(QAccessible::Name));
    QCOMPARE(items, (QStringList { u"Save"_s, u"Print..."_s, u"Exit"_s }));
}

void FormAccessibilityTest::messageBox_readsItsText_data()
{
    QTest::addColumn<bool>("isFailure");
    QTest::addColumn<QString>("message");
    QTest::newRow("ShowMessage") << false << u"printeaza ceea ce apare in caseta"_s;
    QTest::newRow("failure report") << true << u"Cannot print: no printer is set up on this computer."_s;
}

void FormAccessibilityTest::messageBox_readsItsText()
{
    QFETCH(bool, isFailure);
    QFETCH(QString, message);
    QAccessible::Role role = QAccessible::NoRole;
    QString name;
    QString value;
    bool labelReadsText = false;
    // Polls inside the box's own event loop until the box is up.
    QTimer poll;
    poll.start(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        poll.stop();
        QAccessibleInterface *interface = interfaceOf(box);
        role = interface->role();
        name = interface->text(QAccessible::Name);
        value = interface->text(QAccessible::Value);
        // A screen reader speaks an alert's labels: one of them holds the message.
        for (int index = 0; index < interface->childCount(); ++index) {
            QAccessibleInterface *child = interface->child(index);
            if (child->role() == QAccessible::StaticText && child->text(QAccessible::Name) == message)
                labelReadsText = true;
        }
        QTest::keyClick(box, Qt::Key_Enter);
    });
    if (isFailure)
        Application->ShowException(message);
    else
        ShowMessage(message);
    QCOMPARE(role, QAccessible::AlertMessage);
    QCOMPARE(name, u"carte de telefon"_s);
    QCOMPARE(value, message);
    QVERIFY(labelReadsText);
}

void FormAccessibilityTest::focusedControl_showsClearRing_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPalette::ColorRole>("face");
    for (const QString &edit : { u"Edit1"_s, u"Edit2"_s, u"Edit3"_s })
        QTest::newRow(qPrintable(edit)) << u"Form1"_s << edit << QPalette::Base;
    for (const QString &button : { u"Button1"_s, u"Button2"_s, u"Button3"_s })
        QTest::newRow(qPrintable(button)) << u"Form1"_s << button << QPalette::Button;
    QTest::newRow("list") << u"Form1"_s << u"RichEdit1"_s << QPalette::Base;
    QTest::newRow("delete window's button") << u"Form2"_s << u"Button1"_s << QPalette::Button;
}

namespace {

double Luminance(QColor colour)
{
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF())
        + 0.0722 * channel(colour.blueF());
}

double Contrast(QColor a, QColor b)
{
    const double first = Luminance(a);
    const double second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

}   // namespace

// The control with the focus shows it by a mark at least two pixels wide that stands
// out from the control's own face (the contrast asked of marks that are not text).
void FormAccessibilityTest::focusedControl_showsClearRing()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QPalette::ColorRole, face);
    Form1->RichEdit1->Visible(true);
    TForm *form = window == u"Form1"_s ? static_cast<TForm *>(Form1) : static_cast<TForm *>(Form2);
    form->Show();
    QVERIFY(QTest::qWaitForWindowActive(form));
    QWidget *widget = ::control(window, control);
    QVERIFY(widget != nullptr);
    widget->clearFocus();
    const QImage unfocused = widget->grab().toImage();
    widget->setFocus(Qt::TabFocusReason);
    QVERIFY(widget->hasFocus());
    const QImage focused = widget->grab().toImage();
    const QColor faceColour = widget->palette().color(QPalette::Active, face);
    // Down the middle of each edge, from the border inwards: the rows and columns the
    // focus changes into a colour that stands out.
    const int middleX = focused.width() / 2;
    const int middleY = focused.height() / 2;
    const QList<QList<QPoint>> edges {
        { { middleX, 0 }, { middleX, 1 }, { middleX, 2 }, { middleX, 3 }, { middleX, 4 } },
        { { 0, middleY }, { 1, middleY }, { 2, middleY }, { 3, middleY }, { 4, middleY } },
    };
    for (const QList<QPoint> &edge : edges) {
        int marked = 0;
        for (const QPoint &point : edge) {
            const QColor now = focused.pixelColor(point);
            if (now != unfocused.pixelColor(point) && Contrast(now, faceColour) >= 3.0)
                ++marked;
        }
        QVERIFY2(marked >= 2, qPrintable(u"%1 pixels of the mark at the edge"_s.arg(marked)));
    }
}

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    FormAccessibilityTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_formaccessibility.moc"
