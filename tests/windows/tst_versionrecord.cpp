#include <QDir>
#include <QTest>
#include <QVersionNumber>

#include <windows.h>

// The built program's version record, read back by the system's own calls as the file's
// Properties window in Explorer does: the project's version, in US English.
class VersionRecordTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void versionRecord_data();
    void versionRecord();

private:
    QByteArray record_;
    QString query(const QString &block) const;
};

namespace {

// The program under test: the one built beside the tests, or the one CARTE_PROGRAM names.
QString program()
{
    const QString named = qEnvironmentVariable("CARTE_PROGRAM");
    return QDir::toNativeSeparators(named.isEmpty() ? QStringLiteral(CARTE_PROGRAM) : named);
}

QString fromWide(const void *text) { return QString::fromWCharArray(static_cast<const wchar_t *>(text)); }

}   // namespace

void VersionRecordTest::initTestCase()
{
    const std::wstring name = program().toStdWString();
    const DWORD size = ::GetFileVersionInfoSizeW(name.c_str(), nullptr);
    QVERIFY2(size > 0, qPrintable(program() + QStringLiteral(" has no version record")));
    record_.resize(size);
    QVERIFY(::GetFileVersionInfoW(name.c_str(), 0, size, record_.data()));
}

// The value under `block` as text ("a.b.c.d" for the fixed part's numbers, "language,
// code page" for the translation); empty when the record has no such value.
QString VersionRecordTest::query(const QString &block) const
{
    void *value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(record_.constData(), block.toStdWString().c_str(), &value, &length) || length == 0)
        return {};
    if (block == QLatin1String("\\")) {
        const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
        return QStringLiteral("%1.%2.%3.%4 %5.%6.%7.%8")
            .arg(HIWORD(fixed->dwFileVersionMS))
            .arg(LOWORD(fixed->dwFileVersionMS))
            .arg(HIWORD(fixed->dwFileVersionLS))
            .arg(LOWORD(fixed->dwFileVersionLS))
            .arg(HIWORD(fixed->dwProductVersionMS))
            .arg(LOWORD(fixed->dwProductVersionMS))
            .arg(HIWORD(fixed->dwProductVersionLS))
            .arg(LOWORD(fixed->dwProductVersionLS));
    }
    if (block.startsWith(QLatin1String("\\VarFileInfo"))) {
        const auto *pair = static_cast<const WORD *>(value);
        return QStringLiteral("0x%1,%2").arg(pair[0], 4, 16, QLatin1Char('0')).arg(pair[1]);
    }
    return fromWide(value);
}

void VersionRecordTest::versionRecord_data()
{
    const QString version = QStringLiteral(CARTE_VERSION);
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file and product numbers") << QStringLiteral("\\") << version + QLatin1Char(' ') + version;
    QTest::newRow("US English, Western code page")
        << QStringLiteral("\\VarFileInfo\\Translation") << QStringLiteral("0x0409,1252");
    QTest::newRow("file version text")
        << QStringLiteral("\\StringFileInfo\\040904E4\\FileVersion") << version;
    QTest::newRow("product version text")
        << QStringLiteral("\\StringFileInfo\\040904E4\\ProductVersion") << version;
    QTest::newRow("file name") << QStringLiteral("\\StringFileInfo\\040904E4\\OriginalFilename")
                               << QStringLiteral("carte-de-telefon.exe");
}

void VersionRecordTest::versionRecord()
{
    QFETCH(QString, block);
    QFETCH(QString, expected);
    QCOMPARE(query(block), expected);
}

QTEST_GUILESS_MAIN(VersionRecordTest)
#include "tst_versionrecord.moc"
