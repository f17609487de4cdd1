#include "ImportHook.h"
#include "system/Sound.h"

#include <QApplication>
#include <QList>
#include <QTest>

// The toolkit's sound reaches user32's MessageBeep with the program's own values.
class SystemBeepTest : public QObject {
    Q_OBJECT

private slots:
    void messageBeep_reachesSystem_data();
    void messageBeep_reachesSystem();
};

namespace {

QList<UINT> played;

BOOL WINAPI recordBeep(UINT type)
{
    played.append(type);
    return TRUE;
}

}   // namespace

void SystemBeepTest::messageBeep_reachesSystem_data()
{
    QTest::addColumn<UINT>("type");
    QTest::newRow("print") << UINT(5000);
    QTest::newRow("exit") << UINT(7000);
}

void SystemBeepTest::messageBeep_reachesSystem()
{
    QFETCH(UINT, type);
    played.clear();
    const windows_test::ImportHook hook("user32.dll", "MessageBeep", reinterpret_cast<void *>(&recordBeep));
    QVERIFY2(hook.installed(), "nothing in the program calls user32's MessageBeep");
    toolkit::MessageBeep(type);
    QCOMPARE(played, QList<UINT> { type });
}

QTEST_MAIN(SystemBeepTest)
#include "tst_systembeep.moc"
