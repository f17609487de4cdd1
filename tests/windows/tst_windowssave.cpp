#include "ImportHook.h"
#include "support/TestFiles.h"
#include "system/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <string>

// Saving over "baza.doc" on Windows: the new bytes reach the disk before the file takes
// the name, the name passes to it in one move, and a protected or busy file is left
// as it was with a report naming it.
class WindowsSaveTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void save_replacesInOneStep_data();
    void save_replacesInOneStep();
    void save_refused_keepsFile_data();
    void save_refused_keepsFile();

private:
    support::PerTest<QTemporaryDir> directory_;
    QString path() const { return directory_->filePath(QStringLiteral("baza.doc")); }
    QStringList entries() const { return QDir(directory_->path()).entryList(QDir::Files | QDir::Hidden); }
};

namespace {

// The file calls the save makes, in order.
QStringList calls;

BOOL WINAPI recordFlush(HANDLE file);
BOOL WINAPI recordMove(LPCWSTR from, LPCWSTR to, DWORD flags);
BOOL WINAPI recordDelete(LPCWSTR name);

struct SystemCalls {
    windows_test::ImportHook flush { "kernel32.dll", "FlushFileBuffers",
        reinterpret_cast<void *>(&recordFlush) };
    windows_test::ImportHook move { "kernel32.dll", "MoveFileExW", reinterpret_cast<void *>(&recordMove) };
    windows_test::ImportHook remove { "kernel32.dll", "DeleteFileW",
        reinterpret_cast<void *>(&recordDelete) };
};
SystemCalls *systemCalls = nullptr;

QString fileName(LPCWSTR name) { return QFileInfo(QString::fromWCharArray(name)).fileName(); }

BOOL WINAPI recordFlush(HANDLE file)
{
    calls.append(QStringLiteral("flush"));
    return systemCalls->flush.original<decltype(&recordFlush)>()(file);
}

BOOL WINAPI recordMove(LPCWSTR from, LPCWSTR to, DWORD flags)
{
    calls.append(QStringLiteral("move to %1%2")
                     .arg(fileName(to),
                         (flags & MOVEFILE_REPLACE_EXISTING) ? QStringLiteral(", replacing") : QString()));
    return systemCalls->move.original<decltype(&recordMove)>()(from, to, flags);
}

BOOL WINAPI recordDelete(LPCWSTR name)
{
    calls.append(QStringLiteral("delete ") + fileName(name));
    return systemCalls->remove.original<decltype(&recordDelete)>()(name);
}

// The file's identity on its volume; a file rewritten in place keeps it.
quint64 fileIndex(const QString &name)
{
    const HANDLE file = ::CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(name).utf16()), 0,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION information {};
    const bool known = file != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(file, &information);
    if (file != INVALID_HANDLE_VALUE)
        ::CloseHandle(file);
    return known ? (quint64(information.nFileIndexHigh) << 32) | information.nFileIndexLow : 0;
}

const QByteArray newContent = QByteArrayLiteral("{\\rtf1 Pop  Ana  555\\par}");

}   // namespace

void WindowsSaveTest::init() { QVERIFY(directory_.renew()); }

void WindowsSaveTest::save_replacesInOneStep_data()
{
    QTest::addColumn<QByteArray>("earlier");
    QTest::newRow("no earlier file") << QByteArray();
    QTest::newRow("shorter earlier file") << QByteArrayLiteral("{\\rtf1 }");
    QTest::newRow("longer earlier file") << QByteArray(4096, 'x');
}

void WindowsSaveTest::save_replacesInOneStep()
{
    QFETCH(QByteArray, earlier);
    if (!earlier.isEmpty())
        QVERIFY(support::WriteFile(path(), earlier));
    const quint64 earlierIndex = fileIndex(path());

    calls.clear();
    {
        SystemCalls hooks;
        QVERIFY2(hooks.move.installed(), "the save does not call MoveFileExW");
        systemCalls = &hooks;
        const QString message = support::FailureOf([this] { files::WriteAtomically(path(), newContent); });
        if (!message.isEmpty())
            calls.append(message);
        systemCalls = nullptr;
    }
    QCOMPARE(calls.join(QLatin1String("; ")), QStringLiteral("flush; move to baza.doc, replacing"));
    QCOMPARE(support::ReadFile(path()), newContent);
    QCOMPARE(entries(), QStringList { QStringLiteral("baza.doc") });
    if (earlierIndex != 0)
        QVERIFY(fileIndex(path()) != earlierIndex);
}

void WindowsSaveTest::save_refused_keepsFile_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only") << true << QStringLiteral("fisierul poate fi doar citit");
    // Windows says "access denied" or "sharing violation" depending on the version.
    QTest::newRow("open elsewhere, not shared") << false << QString();
}

void WindowsSaveTest::save_refused_keepsFile()
{
    QFETCH(bool, readOnly);
    QFETCH(QString, reason);
    const QByteArray earlier = QByteArrayLiteral("{\\rtf1 earlier\\par}");
    QVERIFY(support::WriteFile(path(), earlier));
    const std::wstring nativeName = QDir::toNativeSeparators(path()).toStdWString();
    const LPCWSTR native = nativeName.c_str();
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (readOnly)
        QVERIFY(::SetFileAttributesW(native, FILE_ATTRIBUTE_READONLY));
    else
        QVERIFY((holder = ::CreateFileW(
                     native, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr))
            != INVALID_HANDLE_VALUE);

    const QString message = support::FailureOf([this] { files::WriteAtomically(path(), newContent); });
    if (holder != INVALID_HANDLE_VALUE)
        ::CloseHandle(holder);
    ::SetFileAttributesW(native, FILE_ATTRIBUTE_NORMAL);

    if (reason.isEmpty()) {
        const QString prefix = support::SaveReport(path(), QString()).chopped(1);
        QVERIFY2(message.startsWith(prefix) && message.size() > prefix.size() + 1, qPrintable(message));
    } else {
        QCOMPARE(message, support::SaveReport(path(), reason));
    }
    QCOMPARE(support::ReadFile(path()), earlier);
    QCOMPARE(entries(), QStringList { QStringLiteral("baza.doc") });
}

QTEST_GUILESS_MAIN(WindowsSaveTest)
#include "tst_windowssave.moc"
