#include "SaveFixture.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "support/TestFiles.h"
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
#include <cstdio>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace savefixture;

// What a save leaves: a symbolic link replaced rather than written through, the earlier
// file's permissions, the earlier file whole when the save is killed, and a file saved
// and loaded again in a folder whose name is no text.
class SavedFileTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void save_nameIsSymbolicLink_replacesLinkNotTarget_data();
    void save_nameIsSymbolicLink_replacesLinkNotTarget();
    void save_permissions_data();
    void save_permissions();
    void save_killedMidway_leavesEarlierFileWhole();
    void saveAndLoad_inFolderOfAnyName_data();
    void saveAndLoad_inFolderOfAnyName();

private:
    support::PerTest<QTemporaryDir> directory_;
    QString path(const QString &name) const { return directory_->filePath(name); }
};

namespace {

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

void SavedFileTest::init() { QVERIFY(directory_.renew()); }

void SavedFileTest::save_nameIsSymbolicLink_replacesLinkNotTarget_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("link to a file") << QStringLiteral("file");
    QTest::newRow("link to a missing file") << QStringLiteral("missing");
    QTest::newRow("link to a directory") << QStringLiteral("directory");
}

void SavedFileTest::save_nameIsSymbolicLink_replacesLinkNotTarget()
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

    QCOMPARE(support::SaveFailure(*box.Lines, fileName), QString());
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

void SavedFileTest::save_permissions_data()
{
    QTest::addColumn<int>("earlierMode");   // -1: no earlier file
    QTest::addColumn<int>("mode");
    QTest::newRow("over a file: keeps its permissions") << 0640 << 0640;
    QTest::newRow("new file: readable by all, whatever the umask") << -1 << 0644;
}

void SavedFileTest::save_permissions()
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
    const QString message = support::SaveFailure(*box.Lines, QFile::decodeName(fileName));
    ::umask(umask);
    QCOMPARE(message, QString());
    struct stat status { };
    QCOMPARE(::stat(fileName.constData(), &status), 0);
    QCOMPARE(int(status.st_mode & 07777), mode);
    QCOMPARE(
        codec::ReadRtf(support::ReadFile(QFile::decodeName(fileName))).lines(), support::Lines(*box.Lines));
}

void SavedFileTest::save_killedMidway_leavesEarlierFileWhole()
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

void SavedFileTest::saveAndLoad_inFolderOfAnyName_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::newRow("ISO-8859-2, no UTF-8") << QByteArray("Agend\xe3 telefon");
    QTest::newRow("UTF-8 with a blank") << QByteArray("Agend\xc4\x83 telefon");
    QTest::newRow("bytes no encoding reads") << QByteArray("\xff\xfe\x80");
}

// The working folder's name is bytes, from an old disk perhaps; the program names its
// files within it and never needs to read that name as text.
void SavedFileTest::saveAndLoad_inFolderOfAnyName()
{
    QFETCH(QByteArray, folder);
    const FolderOfBytes work(QFile::encodeName(directory_->path()) + '/' + folder);
    const QByteArray previous = QFile::encodeName(QDir::currentPath());
    QCOMPARE(::chdir(work.path.constData()), 0);
    TRichEdit box;
    fill(box, 1000);
    const QString saved = support::SaveFailure(*box.Lines, QStringLiteral("baza.doc"));
    TRichEdit loaded;
    const QString load = support::LoadFailure(*loaded.Lines, QStringLiteral("baza.doc"));
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
    QApplication application(argc, argv);
    SavedFileTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_savedfile.moc"
