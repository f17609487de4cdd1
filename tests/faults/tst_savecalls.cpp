#include "support/TestFiles.h"
#include "system/Files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The calls a save makes to put "baza.doc" on the disk, watched and failed on purpose
// through this program's own definitions of them, which the linker prefers to the C
// library's: the new bytes reach the disk before the file takes the name, the name
// reaches it after, and a failure of either is told with no stray file left.
class SaveCallsTest : public QObject {
    Q_OBJECT

private slots:
    void save_makesCallsInOrder_data();
    void save_makesCallsInOrder();
};

namespace {

QStringList calls;
bool watching = false;
bool unnamedFiles = true;
QString failingCall;
int failure = 0;

// Notes the call; true when the test wants it to fail, with errno set.
bool fails(const QString &call)
{
    if (!watching)
        return false;
    calls.append(call);
    if (call != failingCall)
        return false;
    errno = failure;
    return true;
}

template <typename Function> Function original(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}   // namespace

extern "C" int fsync(int descriptor)
{
    struct stat status { };
    if (::fstat(descriptor, &status) == 0
        && fails(S_ISDIR(status.st_mode) ? QStringLiteral("sync folder") : QStringLiteral("sync file")))
        return -1;
    static const auto next = original<int (*)(int)>("fsync");
    return next(descriptor);
}

// A file system that cannot make a file without a name (Linux's O_TMPFILE).
extern "C" int openat(int folder, const char *name, int flags, ...)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = mode_t(va_arg(arguments, int));
        va_end(arguments);
    }
    if (watching && !unnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    static const auto next = original<int (*)(int, const char *, int, ...)>("openat");
    return next(folder, name, flags, mode);
}

extern "C" int renameat(int fromFolder, const char *from, int toFolder, const char *to) noexcept
{
    if (fails(QStringLiteral("rename to ") + QFile::decodeName(to)))
        return -1;
    static const auto next = original<int (*)(int, const char *, int, const char *)>("renameat");
    return next(fromFolder, from, toFolder, to);
}

void SaveCallsTest::save_makesCallsInOrder_data()
{
    const QString saved = QStringLiteral("saved");
    const QString earlier = QStringLiteral("earlier");
    const QString io = QStringLiteral("discul sau dispozitivul nu a putut fi citit sau scris");
    const QStringList all = { QStringLiteral("sync file"), QStringLiteral("rename to baza.doc"),
        QStringLiteral("sync folder") };
    QTest::addColumn<QString>("failingCall");
    QTest::addColumn<int>("failure");
    QTest::addColumn<QStringList>("expectedCalls");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("unnamedFiles");

    // Where the new file has a name from the start, that name must go too on a failure.
    for (const bool unnamed : { true, false }) {
        const char *const where = unnamed ? "" : ", new files named at once";
        QTest::addRow("all succeed%s", where) << QString() << 0 << all << QString() << saved << unnamed;
        QTest::addRow("sync of the new file fails%s", where)
            << all[0] << EIO << all.mid(0, 1) << io << earlier << unnamed;
        QTest::addRow("rename fails%s", where) << all[1] << EIO << all.mid(0, 2) << io << earlier << unnamed;
    }
    // The new file has the name by then; the user is told the save may not last.
    QTest::newRow("sync of the folder fails")
        << all[2] << EIO << all
        << QStringLiteral("fisierul nou a luat numele, dar dosarul lui nu a putut fi scris pe disc, asa ca o "
                          "cadere de tensiune poate aduce inapoi fisierul vechi: ")
            + io
        << saved << true;
    QTest::newRow("file system that cannot sync a folder")
        << all[2] << EINVAL << all << QString() << saved << true;
}

void SaveCallsTest::save_makesCallsInOrder()
{
    QFETCH(QString, failingCall);
    QFETCH(int, failure);
    QFETCH(QStringList, expectedCalls);
    QFETCH(QString, reason);
    QFETCH(QString, content);
    QFETCH(bool, unnamedFiles);
    const QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString fileName = directory.filePath(QStringLiteral("baza.doc"));
    QVERIFY(support::WriteFile(fileName, "earlier"));

    ::failingCall = failingCall;
    ::failure = failure;
    ::unnamedFiles = unnamedFiles;
    calls.clear();
    watching = true;
    const QString message = support::FailureOf([&] { files::WriteAtomically(fileName, "saved"); });
    watching = false;

    QCOMPARE(calls, expectedCalls);
    QCOMPARE(message, reason.isEmpty() ? QString() : support::SaveReport(fileName, reason));
    QCOMPARE(QString::fromLatin1(support::ReadFile(fileName)), content);
    QCOMPARE(QDir(directory.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList { QStringLiteral("baza.doc") });
}

QTEST_GUILESS_MAIN(SaveCallsTest)

#include "tst_savecalls.moc"
