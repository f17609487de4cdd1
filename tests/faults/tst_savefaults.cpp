#include "AsNobody.h"
#include "SaveFixture.h"
#include "support/TestFiles.h"
#include "system/Files.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace savefixture;

// Saving "baza.doc" when the disk refuses, fills up, or the name is taken by something
// that is not a file: the earlier file stays whole (or absent), the box keeps its
// lines, and the report names the file and the reason.
class SaveFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void save_readOnlyDirectory_reportsAndKeepsOldFile();
    void save_overFileOfMode_data();
    void save_overFileOfMode();
    void save_workingFolderRemoved_reportsAndKeepsList();
    void save_diskFull_reportsAndKeepsOldFile_data();
    void save_diskFull_reportsAndKeepsOldFile();
    void save_nameIsDirectory_reportsAndKeepsDirectory();

private:
    support::PerTest<QTemporaryDir> directory_;
    QString path(const QString &name) const { return directory_->filePath(name); }
};

namespace {

// The message of the failure, or an empty string when the save succeeded.
QString writeMessage(const QString &fileName, const QByteArray &bytes)
{
    return support::FailureOf([&] { files::WriteAtomically(fileName, bytes); });
}

const QByteArray newContent = QByteArrayLiteral("{\\rtf1 newer\\par}");

// A small tmpfs mounted over a directory, for a file system that is read-only or full
// even for root. Needs root and a system that lets it mount.
class ScratchFileSystem {
public:
    ScratchFileSystem(const QString &directory, const QByteArray &size)
        : directory_(QFile::encodeName(directory))
    {
        QDir().mkpath(directory);
        if (::geteuid() != 0) {
            error_ = QStringLiteral("not root");
        } else if (::mount("tmpfs", directory_.constData(), "tmpfs", 0, ("size=" + size).constData()) != 0) {
            error_ = QString::fromLocal8Bit(std::strerror(errno));
        } else {
            mounted_ = true;
        }
    }
    ~ScratchFileSystem()
    {
        if (mounted_)
            ::umount2(directory_.constData(), MNT_DETACH);
    }
    Q_DISABLE_COPY_MOVE(ScratchFileSystem)

    bool mounted() const { return mounted_; }
    QString error() const { return error_; }
    bool makeReadOnly()
    {
        return ::mount("tmpfs", directory_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    // Takes every free block with the file `name`; true once the system says it is full.
    bool fill(const char *name)
    {
        const int descriptor
            = ::open((directory_ + '/' + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        const QByteArray block(4096, 'x');
        while (descriptor >= 0 && ::write(descriptor, block.constData(), block.size()) > 0) { }
        const bool full = errno == ENOSPC;
        ::close(descriptor);
        return full;
    }

private:
    QByteArray directory_;
    QString error_;
    bool mounted_ = false;
};

// A limit on the size of any file this process writes; a write beyond it fails with
// EFBIG instead of killing the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    Q_DISABLE_COPY_MOVE(FileSizeLimit)

private:
    rlimit saved_ {};
    void (*previousHandler_)(int) = nullptr;
};

}   // namespace

void SaveFaultsTest::init() { QVERIFY(directory_.renew()); }

void SaveFaultsTest::save_readOnlyDirectory_reportsAndKeepsOldFile()
{
    const QString folder = path(QStringLiteral("ro"));
    const QString fileName = folder + QLatin1String("/baza.doc");
    QString reason;
    std::unique_ptr<ScratchFileSystem> scratch;
    if (::geteuid() != 0) {
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(support::WriteFile(fileName, oldContent));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        reason = QStringLiteral("nu aveti permisiunea necesara");
    } else {
        // Root writes into any directory whatever its permission bits; a read-only
        // file system stops it.
        scratch = std::make_unique<ScratchFileSystem>(folder, QByteArrayLiteral("1m"));
        if (!scratch->mounted())
            QSKIP(
                qPrintable(QStringLiteral("running as root and cannot mount a tmpfs: ") + scratch->error()));
        QVERIFY(support::WriteFile(fileName, oldContent));
        QVERIFY(scratch->makeReadOnly());
        reason = QStringLiteral("discul poate fi doar citit");
    }
    TRichEdit box;
    fill(box, 1000);
    const QStringList before = support::Lines(*box.Lines);

    QCOMPARE(support::SaveFailure(*box.Lines, fileName), support::SaveReport(fileName, reason));
    QCOMPARE(support::ReadFile(fileName), oldContent);
    QCOMPARE(entries(folder), QStringList { QStringLiteral("baza.doc") });
    QCOMPARE(support::Lines(*box.Lines), before);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void SaveFaultsTest::save_overFileOfMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only") << 0444 << QStringLiteral("nu aveti permisiunea necesara");
    QTest::newRow("read-only for the owner, writable by others")
        << 0466 << QStringLiteral("nu aveti permisiunea necesara");
    QTest::newRow("writable by the owner") << 0644 << QString();
}

// The user's own write protection holds: a file this user may not write is not
// replaced either, though the folder would allow it.
void SaveFaultsTest::save_overFileOfMode()
{
    QFETCH(int, mode);
    QFETCH(QString, reason);
    const QString folder = path(QStringLiteral("own"));
    QVERIFY(QDir().mkdir(folder));
    const QString fileName = folder + QLatin1String("/baza.doc");
    QVERIFY(support::WriteFile(fileName, oldContent));
    QCOMPARE(::chmod(QFile::encodeName(fileName).constData(), mode_t(mode)), 0);

    QString message;
    if (::geteuid() != 0) {
        message = writeMessage(fileName, newContent);
    } else {
        // The folder and the file are nobody's own, the folder writable by nobody.
        QVERIFY(QFile::setPermissions(directory_->path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                | QFileDevice::ExeOther));
        QVERIFY(asnobody::giveToNobody(folder));
        QVERIFY(asnobody::giveToNobody(fileName));
        const asnobody::Run child = asnobody::run({ QStringLiteral("--save-as-nobody"), fileName });
        QVERIFY2(child.error.isEmpty(), qPrintable(child.error));
        QCOMPARE(child.exitCode, reason.isEmpty() ? 0 : 1);
        message = child.output;
    }
    QCOMPARE(entries(folder), QStringList { QStringLiteral("baza.doc") });
    struct stat status { };
    QCOMPARE(::stat(QFile::encodeName(fileName).constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), mode);
    if (reason.isEmpty()) {
        QCOMPARE(message, QString());
        QCOMPARE(support::ReadFile(fileName), newContent);
    } else {
        QCOMPARE(message, support::SaveReport(fileName, reason));
        QCOMPARE(support::ReadFile(fileName), oldContent);
    }
}

void SaveFaultsTest::save_workingFolderRemoved_reportsAndKeepsList()
{
    const QString folder = path(QStringLiteral("work"));
    QVERIFY(QDir().mkdir(folder));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder));
    const bool removed = QDir().rmdir(folder);
    TRichEdit box;
    fill(box, 1000);
    const QStringList before = support::Lines(*box.Lines);
    const QString message = support::SaveFailure(*box.Lines, QStringLiteral("baza.doc"));
    QVERIFY(QDir::setCurrent(previous));

    QVERIFY(removed);
    // A removed folder has no full name to give: the file is named as the program named it.
    QCOMPARE(message, QStringLiteral("Fisierul \"baza.doc\" nu poate fi salvat: dosarul nu mai exista."));
    QCOMPARE(support::Lines(*box.Lines), before);
    QCOMPARE(entries(directory_->path()), QStringList());
}

void SaveFaultsTest::save_diskFull_reportsAndKeepsOldFile_data()
{
    QTest::addColumn<QString>("limit");
    QTest::addColumn<int>("listSize");
    QTest::addColumn<QString>("reason");
    QTest::newRow("file size limit") << QStringLiteral("file size") << 1'000'000
                                     << QStringLiteral("fisierul este prea mare");
    QTest::newRow("file system filling up")
        << QStringLiteral("small file system") << 1'000'000 << QStringLiteral("discul este plin");
    // A list this small is still in the program's buffer when the disk is asked for
    // room: the failure shows when the new file is flushed, not at the write.
    QTest::newRow("small list onto a full file system")
        << QStringLiteral("full file system") << 1000 << QStringLiteral("discul este plin");
}

void SaveFaultsTest::save_diskFull_reportsAndKeepsOldFile()
{
    QFETCH(QString, limit);
    QFETCH(int, listSize);
    QFETCH(QString, reason);
    const QString folder = path(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(folder));
    std::unique_ptr<ScratchFileSystem> scratch;
    if (limit != QLatin1String("file size")) {
        scratch = std::make_unique<ScratchFileSystem>(folder, QByteArrayLiteral("256k"));
        if (!scratch->mounted())
            QSKIP(qPrintable(QStringLiteral("cannot mount a small tmpfs: ") + scratch->error()));
    }
    const QString fileName = folder + QLatin1String("/baza.doc");
    QVERIFY(support::WriteFile(fileName, oldContent));
    if (limit == QLatin1String("full file system"))
        QVERIFY(scratch->fill("filler"));
    TRichEdit box;
    fill(box, listSize);
    const QStringList before = support::Lines(*box.Lines);

    QString message;
    if (limit == QLatin1String("file size")) {
        const FileSizeLimit sizeLimit(64 * 1024);
        message = support::SaveFailure(*box.Lines, fileName);
    } else {
        message = support::SaveFailure(*box.Lines, fileName);
    }
    QFile::remove(folder + QLatin1String("/filler"));
    QCOMPARE(message, support::SaveReport(fileName, reason));
    QCOMPARE(support::ReadFile(fileName), oldContent);
    QCOMPARE(entries(folder), QStringList { QStringLiteral("baza.doc") });
    QCOMPARE(support::Lines(*box.Lines), before);
}

void SaveFaultsTest::save_nameIsDirectory_reportsAndKeepsDirectory()
{
    const QString fileName = path(QStringLiteral("baza.doc"));
    QVERIFY(QDir().mkdir(fileName));
    QVERIFY(support::WriteFile(fileName + QLatin1String("/inside.txt"), oldContent));
    TRichEdit box;
    fill(box, 100);

    QCOMPARE(support::SaveFailure(*box.Lines, fileName),
        support::SaveReport(fileName, QStringLiteral("este un dosar")));
    QVERIFY(QFileInfo(fileName).isDir());
    QCOMPARE(support::ReadFile(fileName + QLatin1String("/inside.txt")), oldContent);
    QCOMPARE(entries(directory_->path()), QStringList { QStringLiteral("baza.doc") });
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--save-as-nobody") == 0) {
        QCoreApplication application(argc, argv);
        const QString message = writeMessage(QString::fromLocal8Bit(argv[2]), newContent);
        std::fputs(message.toUtf8().constData(), stdout);
        return message.isEmpty() ? 0 : 1;
    }
    QApplication application(argc, argv);
    SaveFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_savefaults.moc"
