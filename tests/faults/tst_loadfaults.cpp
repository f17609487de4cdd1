#include "AsNobody.h"
#include "support/TestFiles.h"
#include "system/Exception.h"
#include "system/Files.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

// Loading "baza.txt" when it is missing, unreadable, not a file at all, or very large:
// the box either gets the file's lines or keeps what it held, and the report names
// the file and the reason.
class LoadFaultsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void load_fault_reportsAndKeepsBox_data();
    void load_fault_reportsAndKeepsBox();
    void load_unreadableFile_reportsPermissionDenied();
    void load_emptyFile_givesEmptyList();
    void load_symbolicLinkToFile_loadsTarget();
    void load_largeFile_loadsEveryLine();

private:
    support::PerTest<QTemporaryDir> directory_;
    QString path(const QString &name) const { return directory_->filePath(name); }
};

namespace {

const QStringList previousLines { QStringLiteral("Popescu  Ion  0722 123 456"),
    QStringLiteral("Ionescu  Ana  0744") };

void fill(TRichEdit &box)
{
    for (const QString &line : previousLines)
        box.Lines->Add(line);
}

}   // namespace

void LoadFaultsTest::init() { QVERIFY(directory_.renew()); }

void LoadFaultsTest::load_fault_reportsAndKeepsBox_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    const QString notRegular = QStringLiteral("nu este un fisier obisnuit, ci un dispozitiv sau o conducta");
    QTest::newRow("missing") << QStringLiteral("missing") << support::fileNotFound;
    QTest::newRow("directory") << QStringLiteral("directory") << QStringLiteral("este un dosar");
    QTest::newRow("fifo without writer") << QStringLiteral("fifo") << notRegular;
    QTest::newRow("link to missing file") << QStringLiteral("dangling link") << support::fileNotFound;
    QTest::newRow("link to fifo") << QStringLiteral("link to fifo") << notRegular;
    QTest::newRow("device") << QStringLiteral("device") << notRegular;
    QTest::newRow("beyond the size limit")
        << QStringLiteral("huge") << QStringLiteral("fisierul are mai mult de 256 MB");
}

void LoadFaultsTest::load_fault_reportsAndKeepsBox()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString fileName = path(QStringLiteral("baza.txt"));
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkdir(fileName));
    } else if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(fileName).constData(), 0644), 0);
    } else if (kind == QLatin1String("dangling link")) {
        QVERIFY(QFile::link(path(QStringLiteral("nowhere.txt")), fileName));
    } else if (kind == QLatin1String("link to fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path(QStringLiteral("fifo"))).constData(), 0644), 0);
        QVERIFY(QFile::link(path(QStringLiteral("fifo")), fileName));
    } else if (kind == QLatin1String("huge")) {
        // Sparse: one byte over the limit without writing 256 MB.
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize((qint64(256) << 20) + 1));
    } else if (kind == QLatin1String("device")) {
        // A device that never ends: reading it whole would never return.
        fileName = QStringLiteral("/dev/zero");
    }

    TRichEdit box;
    fill(box);
    QElapsedTimer timer;
    timer.start();
    const QString message = support::LoadFailure(*box.Lines, fileName);
    // A FIFO with no writer blocks a plain open() forever; the ctest timeout is the
    // last resort, this bound the clear report.
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(message, support::OpenReport(fileName, reason));
    QCOMPARE(support::Lines(*box.Lines), previousLines);
}

void LoadFaultsTest::load_unreadableFile_reportsPermissionDenied()
{
    const QString fileName = path(QStringLiteral("baza.txt"));
    {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("secret\n");
    }
    QVERIFY(QFile::setPermissions(fileName, {}));

    QString message;
    if (::geteuid() != 0) {
        TRichEdit box;
        fill(box);
        message = support::LoadFailure(*box.Lines, fileName);
        QCOMPARE(support::Lines(*box.Lines), previousLines);
    } else {
        QVERIFY(QFile::setPermissions(directory_->path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                | QFileDevice::ExeOther));
        const asnobody::Run child = asnobody::run({ QStringLiteral("--read-as-nobody"), fileName });
        QVERIFY2(child.error.isEmpty(), qPrintable(child.error));
        QCOMPARE(child.exitCode, 1);
        message = child.output;
    }
    QCOMPARE(message, support::OpenReport(fileName, QStringLiteral("nu aveti permisiunea necesara")));
}

void LoadFaultsTest::load_emptyFile_givesEmptyList()
{
    const QString fileName = path(QStringLiteral("baza.txt"));
    QVERIFY(QFile(fileName).open(QIODevice::WriteOnly));
    TRichEdit box;
    fill(box);
    QCOMPARE(support::LoadFailure(*box.Lines, fileName), QString());
    QCOMPARE(box.Lines->Count(), 0);
}

void LoadFaultsTest::load_symbolicLinkToFile_loadsTarget()
{
    const QString target = path(QStringLiteral("real.txt"));
    {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Pop  Ana  555\r\n");
    }
    QVERIFY(QFile::link(target, path(QStringLiteral("baza.txt"))));
    TRichEdit box;
    QCOMPARE(support::LoadFailure(*box.Lines, path(QStringLiteral("baza.txt"))), QString());
    QCOMPARE(support::Lines(*box.Lines), QStringList { QStringLiteral("Pop  Ana  555") });
}

void LoadFaultsTest::load_largeFile_loadsEveryLine()
{
    // 200 MB: 5,000,000 lines of 40 bytes. The time bound catches a reader that turns
    // quadratic, not a slow disk.
    const QString fileName = path(QStringLiteral("baza.txt"));
    constexpr int lineCount = 5'000'000;
    const QByteArray line = QByteArrayLiteral("Popescu  Ion  0722 123 456  Bucuresti\r\n");
    {
        QByteArray block;
        for (int i = 0; i < 10'000; ++i)
            block.append(line).append('x');
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < lineCount / 10'000; ++i)
            QCOMPARE(file.write(block), block.size());
    }
    QCOMPARE(QFileInfo(fileName).size(), qint64(lineCount) * 40);

    QElapsedTimer timer;
    timer.start();
    TRichEdit box;
    QCOMPARE(support::LoadFailure(*box.Lines, fileName), QString());
    const qint64 elapsed = timer.elapsed();
    qInfo("200 MB loaded in %lld ms", elapsed);
    QVERIFY2(elapsed < 120'000, qPrintable(QString::number(elapsed)));
    // Each 'x' starts the next line, so the last line is "x" alone.
    QCOMPARE(box.Lines->Count(), lineCount + 1);
    QCOMPARE(box.Lines->Strings(1), QStringLiteral("xPopescu  Ion  0722 123 456  Bucuresti"));
    QCOMPARE(box.Lines->Strings(lineCount), QStringLiteral("x"));
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--read-as-nobody") == 0) {
        QCoreApplication application(argc, argv);
        try {
            files::ReadAll(QString::fromLocal8Bit(argv[2]));
        } catch (const Exception &error) {
            std::fputs(error.what(), stdout);
            return 1;
        }
        return 0;
    }
    QApplication application(argc, argv);
    LoadFaultsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_loadfaults.moc"
