#include "AsNobody.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "support/TestFiles.h"
#include "system/Exception.h"
#include "system/Files.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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
    void save_nameIsSymbolicLink_replacesLinkNotTarget_data();
    void save_nameIsSymbolicLink_replacesLinkNotTarget();
    void save_permissions_data();
    void save_permissions();
    void save_killedMidway_leavesEarlierFileWhole();
    void saveAndLoad_inFolderOfAnyName_data();
    void saveAndLoad_inFolderOfAnyName();

private:
    std::unique_ptr<QTemporaryDir> directory_;
    QString path(const QString &name) const { return directory_->filePath(name); }
};

namespace {

const QByteArray oldContent = QByteArrayLiteral("{\\rtf1 earlier\\par}");

// About `size` bytes of lines, so that a save of them outgrows a small limit.
void fill(TRichEdit &box, int size)
{
    QStringList all;
    for (int i = 0; i * 40 < size; ++i)
        all.append(QStringLiteral("Popescu  Ion  %1  Ștefan").arg(i, 12, 10, QLatin1Char('0')));
    box.Document(support::DocumentOf(all));
}

QString saveMessage(const TRichEdit &box, const QString &fileName)
{
    try {
        box.Lines->SaveToFile(fileName, phonebook::SaveFormat());
    } catch (const Exception &error) {
        return error.Message();
    }
    return {};
}

// The message of the failure, or an empty string when the save succeeded.
QString writeMessage(const QString &fileName, const QByteArray &bytes)
{
    try {
        files::WriteAtomically(fileName, bytes);
    } catch (const Exception &error) {
        return error.Message();
    }
    return {};
}

const QByteArray newContent = QByteArrayLiteral("{\\rtf1 newer\\par}");

QStringList entries(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

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

// A folder made and removed by its bytes: Qt's QDir reads names as text and cannot
// remove one whose name is none.
struct FolderOfBytes {
    explicit FolderOfBytes(const QByteArray &folder)
        : path(folder)
    {
        ::mkdir(path.constData(), 0755);
    }
    ~FolderOfBytes()
    {
        for (const QByteArray &name : entries())
            ::unlink((path + '/' + name).constData());
        ::rmdir(path.constData());
    }
    Q_DISABLE_COPY_MOVE(FolderOfBytes)

    QByteArrayList entries() const
    {
        QByteArrayList names;
        if (DIR *listing = ::opendir(path.constData())) {
            while (const dirent *entry = ::readdir(listing)) {
                if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
                    names.append(entry->d_name);
            }
            ::closedir(listing);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    QByteArray path;
};

constexpr int linesPerGeneration = 200'000;

QStringList generation(int number)
{
    QStringList result;
    result.reserve(linesPerGeneration);
    for (int i = 0; i < linesPerGeneration; ++i)
        result.append(QStringLiteral("generatia %1 linia %2 Ștefan").arg(number).arg(i));
    return result;
}

// Saves ever newer generations of a big list until killed, saying when each save
// starts and ends.
int saveForever(const QString &fileName)
{
    for (int number = 1;; ++number) {
        const QByteArray bytes
            = codec::WriteRtf(support::DocumentOf(generation(number)), phonebook::SaveFormat());
        std::fputs("writing\n", stdout);
        std::fflush(stdout);
        files::WriteAtomically(fileName, bytes);
        std::fputs("saved\n", stdout);
        std::fflush(stdout);
    }
}

}   // namespace

void SaveFaultsTest::init()
{
    directory_ = std::make_unique<QTemporaryDir>();
    QVERIFY(directory_->isValid());
}

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

    QCOMPARE(saveMessage(box, fileName), support::SaveReport(fileName, reason));
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
    const QString message = saveMessage(box, QStringLiteral("baza.doc"));
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
        message = saveMessage(box, fileName);
    } else {
        message = saveMessage(box, fileName);
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

    QCOMPARE(saveMessage(box, fileName), support::SaveReport(fileName, QStringLiteral("este un dosar")));
    QVERIFY(QFileInfo(fileName).isDir());
    QCOMPARE(support::ReadFile(fileName + QLatin1String("/inside.txt")), oldContent);
    QCOMPARE(entries(directory_->path()), QStringList { QStringLiteral("baza.doc") });
}

void SaveFaultsTest::save_nameIsSymbolicLink_replacesLinkNotTarget_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("link to a file") << QStringLiteral("file");
    QTest::newRow("link to a missing file") << QStringLiteral("missing");
    QTest::newRow("link to a directory") << QStringLiteral("directory");
}

void SaveFaultsTest::save_nameIsSymbolicLink_replacesLinkNotTarget()
{
    QFETCH(QString, target);
    const QString targetName = path(QStringLiteral("target"));
    if (target == QLatin1String("file"))
        QVERIFY(support::WriteFile(targetName, oldContent));
    else if (target == QLatin1String("directory"))
        QVERIFY(QDir().mkdir(targetName));
    const QString fileName = path(QStringLiteral("baza.doc"));
    QVERIFY(QFile::link(targetName, fileName));
    TRichEdit box;
    fill(box, 200);

    QCOMPARE(saveMessage(box, fileName), QString());
    const QFileInfo saved(fileName);
    QVERIFY(!saved.isSymLink());
    QVERIFY(saved.isFile());
    QCOMPARE(codec::ReadRtf(support::ReadFile(fileName)).lines(), support::Lines(*box.Lines));
    if (target == QLatin1String("file"))
        QCOMPARE(support::ReadFile(targetName), oldContent);
    else if (target == QLatin1String("directory"))
        QCOMPARE(entries(targetName), QStringList());
    else
        QVERIFY(!QFileInfo::exists(targetName));
}

void SaveFaultsTest::save_permissions_data()
{
    QTest::addColumn<int>("earlierMode");   // -1: no earlier file
    QTest::addColumn<int>("mode");
    QTest::newRow("over a file: keeps its permissions") << 0640 << 0640;
    QTest::newRow("new file: readable by all, whatever the umask") << -1 << 0644;
}

void SaveFaultsTest::save_permissions()
{
    QFETCH(int, earlierMode);
    QFETCH(int, mode);
    const QByteArray fileName = QFile::encodeName(path(QStringLiteral("baza.doc")));
    if (earlierMode >= 0) {
        QVERIFY(support::WriteFile(QFile::decodeName(fileName), oldContent));
        QCOMPARE(::chmod(fileName.constData(), mode_t(earlierMode)), 0);
    }
    TRichEdit box;
    fill(box, 100);

    const mode_t umask = ::umask(077);
    const QString message = saveMessage(box, QFile::decodeName(fileName));
    ::umask(umask);
    QCOMPARE(message, QString());
    struct stat status { };
    QCOMPARE(::stat(fileName.constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), mode);
    QCOMPARE(
        codec::ReadRtf(support::ReadFile(QFile::decodeName(fileName))).lines(), support::Lines(*box.Lines));
}

void SaveFaultsTest::save_killedMidway_leavesEarlierFileWhole()
{
    const QString fileName = path(QStringLiteral("baza.doc"));
    files::WriteAtomically(
        fileName, codec::WriteRtf(support::DocumentOf(generation(0)), phonebook::SaveFormat()));
    int killedWhileWriting = 0;
    for (int attempt = 0; attempt < 6; ++attempt) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--save-forever"), fileName });
        QVERIFY(child.waitForStarted());
        // Kill the child at once or a few milliseconds after it starts writing.
        QByteArray said;
        while (!said.contains("writing") && child.waitForReadyRead(30000))
            said += child.readAllStandardOutput();
        QVERIFY(said.contains("writing"));
        QThread::msleep(3 * attempt);
        child.kill();
        QVERIFY(child.waitForFinished());
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        said += child.readAllStandardOutput();
        if (said.trimmed().endsWith("writing"))
            ++killedWhileWriting;

        // Whichever generation the name holds now, it holds all of it.
        const QStringList saved = codec::ReadRtf(support::ReadFile(fileName)).lines();
        QCOMPARE(saved.size(), linesPerGeneration);
        const int number = saved.first().section(QLatin1Char(' '), 1, 1).toInt();
        QCOMPARE(saved, generation(number));
        for (const QString &name : entries(directory_->path())) {
            QVERIFY2(name.startsWith(QLatin1String("baza.doc")), qPrintable(name));
            if (name != QLatin1String("baza.doc"))
                QVERIFY(QFile::remove(path(name)));
        }
    }
    // Otherwise every kill fell between saves and the test proved nothing.
    QVERIFY(killedWhileWriting > 0);
}

void SaveFaultsTest::saveAndLoad_inFolderOfAnyName_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::newRow("ISO-8859-2, no UTF-8") << QByteArray("Agend\xe3 telefon");
    QTest::newRow("UTF-8 with a blank") << QByteArray("Agend\xc4\x83 telefon");
    QTest::newRow("bytes no encoding reads") << QByteArray("\xff\xfe\x80");
}

// The working folder's name is bytes, from an old disk perhaps; the program names its
// files within it and never needs to read that name as text.
void SaveFaultsTest::saveAndLoad_inFolderOfAnyName()
{
    QFETCH(QByteArray, folder);
    const FolderOfBytes work(QFile::encodeName(directory_->path()) + '/' + folder);
    const QByteArray previous = QFile::encodeName(QDir::currentPath());
    QCOMPARE(::chdir(work.path.constData()), 0);
    TRichEdit box;
    fill(box, 1000);
    const QString saved = saveMessage(box, QStringLiteral("baza.doc"));
    TRichEdit loaded;
    QString load;
    try {
        loaded.Lines->LoadFromFile(QStringLiteral("baza.doc"));
    } catch (const Exception &error) {
        load = error.Message();
    }
    QCOMPARE(::chdir(previous.constData()), 0);

    QCOMPARE(saved, QString());
    QCOMPARE(load, QString());
    QCOMPARE(support::Lines(loaded), support::Lines(box));
    QCOMPARE(work.entries(), QByteArrayList { "baza.doc" });
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--save-forever") == 0) {
        QCoreApplication application(argc, argv);
        return saveForever(QString::fromLocal8Bit(argv[2]));
    }
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
