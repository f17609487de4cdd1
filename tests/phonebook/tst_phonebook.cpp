#include "phonebook/PhoneBook.h"
#include "support/TestFiles.h"
#include "system/Exception.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

// The phone book's entry line and its operations on the list box and the two files.
class PhoneBookTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void entryLine_data();
    void entryLine();
    void appendToEmptyList_givesLineZero();
    void deleteFirstOfThree_movesOthersUp();
    void deleteAt_numberOfNoLine_changesNothing_data();
    void deleteAt_numberOfNoLine_changesNothing();
    void load_data();
    void load();
    void load_missingFile_reportsNameAndReasonAndKeepsList();
    void save_emptyList_replacesEarlierFile();
    void save_thenLoad_givesSameList();
    void save_doesNotTouchLoadFile();

private:
    support::PerTest<support::WorkingDirectory> directory_;
};

void PhoneBookTest::init() { QVERIFY(directory_.renew()); }

void PhoneBookTest::entryLine_data()
{
    QTest::addColumn<QString>("surname");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("expected");
    QTest::newRow("typical") << QStringLiteral("Pop") << QStringLiteral("Ana") << QStringLiteral("555")
                             << QStringLiteral("Pop  Ana  555");
    QTest::newRow("all empty gives four blanks")
        << QString() << QString() << QString() << QStringLiteral("    ");
    QTest::newRow("initial texts") << QStringLiteral("nume") << QStringLiteral("prenume")
                                   << QStringLiteral("                  nr. de telefon")
                                   << QStringLiteral("nume  prenume") + QString(20, QLatin1Char(' '))
            + QStringLiteral("nr. de telefon");
    QTest::newRow("nothing trimmed") << QStringLiteral(" a ") << QStringLiteral("\tb")
                                     << QStringLiteral("c  ") << QStringLiteral(" a   \tb  c  ");
    QTest::newRow("only the middle") << QString() << QStringLiteral("Ana") << QString()
                                     << QStringLiteral("  Ana  ");
    QTest::newRow("Romanian letters") << QStringLiteral("Știrbu") << QStringLiteral("Ţuţu")
                                      << QStringLiteral("0722") << QStringLiteral("Știrbu  Ţuţu  0722");
}

void PhoneBookTest::entryLine()
{
    QFETCH(QString, surname);
    QFETCH(QString, firstName);
    QFETCH(QString, phone);
    QFETCH(QString, expected);
    QCOMPARE(phonebook::EntryLine(surname, firstName, phone), expected);
}

void PhoneBookTest::appendToEmptyList_givesLineZero()
{
    TRichEdit box;
    phonebook::Clear(box);
    phonebook::Append(box, QStringLiteral("Pop  Ana  555"));
    QCOMPARE(support::Lines(box), QStringList { QStringLiteral("Pop  Ana  555") });
    QCOMPARE(phonebook::WholeText(box), QStringLiteral("Pop  Ana  555\r\n"));
}

void PhoneBookTest::deleteFirstOfThree_movesOthersUp()
{
    TRichEdit box;
    for (const char *line : { "a", "b", "c" })
        phonebook::Append(box, QString::fromLatin1(line));
    phonebook::DeleteAt(box, 0);
    QCOMPARE(support::Lines(box), (QStringList { QStringLiteral("b"), QStringLiteral("c") }));
}

void PhoneBookTest::deleteAt_numberOfNoLine_changesNothing_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("lineNumber");
    const QStringList two { QStringLiteral("a"), QStringLiteral("b") };
    QTest::newRow("the caret's line after the last entry") << two << 2;
    QTest::newRow("past the end") << two << 7;
    QTest::newRow("negative") << two << -1;
    QTest::newRow("empty list") << QStringList() << 0;
}

void PhoneBookTest::deleteAt_numberOfNoLine_changesNothing()
{
    QFETCH(QStringList, entries);
    QFETCH(int, lineNumber);
    TRichEdit box;
    for (const QString &entry : entries)
        phonebook::Append(box, entry);
    phonebook::DeleteAt(box, lineNumber);
    QCOMPARE(support::Lines(box), entries);
}

void PhoneBookTest::load_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("three lines") << QByteArray("Pop  Ana  555\r\nIon  Dan  1\r\nx\r\n")
                                 << QStringList { QStringLiteral("Pop  Ana  555"),
                                        QStringLiteral("Ion  Dan  1"), QStringLiteral("x") };
    QTest::newRow("rich text") << QByteArray("{\\rtf1\\ansi Pop  Ana  555\\par Ion\\par}")
                               << QStringList { QStringLiteral("Pop  Ana  555"), QStringLiteral("Ion") };
}

void PhoneBookTest::load()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QVERIFY(support::WriteFile(phonebook::LoadFileName, bytes));
    TRichEdit box;
    box.setPlainText(QStringLiteral("RichEdit1"));
    phonebook::Clear(box);
    phonebook::Load(box);
    QCOMPARE(support::Lines(box), expected);
}

void PhoneBookTest::load_missingFile_reportsNameAndReasonAndKeepsList()
{
    TRichEdit box;
    phonebook::Append(box, QStringLiteral("kept"));
    try {
        phonebook::Load(box);
        QFAIL("loading a missing file did not fail");
    } catch (const Exception &error) {
        QCOMPARE(error.Message(), support::OpenReport(QStringLiteral("baza.txt"), support::fileNotFound));
    }
    QCOMPARE(support::Lines(box), QStringList { QStringLiteral("kept") });
}

void PhoneBookTest::save_emptyList_replacesEarlierFile()
{
    QVERIFY(support::WriteFile(phonebook::SaveFileName, "earlier content that must go"));
    TRichEdit box;
    phonebook::Save(box);
    QFile saved(phonebook::SaveFileName);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QVERIFY(bytes.startsWith("{\\rtf1"));
    QVERIFY(!bytes.contains("earlier"));
    QVERIFY(support::WriteFile(phonebook::LoadFileName, bytes));
    TRichEdit reloaded;
    phonebook::Load(reloaded);
    QCOMPARE(reloaded.Lines->Count(), 0);
}

void PhoneBookTest::save_thenLoad_givesSameList()
{
    const QStringList list { QStringLiteral("Pop  Ana  555"), QString(), QStringLiteral("{x}\\y\tz"),
        QStringLiteral("ăâîșț ĂÂÎȘȚ şţŞŢ"), QStringLiteral("\U0001F4DE  0722"), QString() };
    TRichEdit box;
    for (const QString &line : list)
        phonebook::Append(box, line);
    phonebook::Save(box);
    QVERIFY(QFile::rename(phonebook::SaveFileName, phonebook::LoadFileName));
    TRichEdit reloaded;
    phonebook::Load(reloaded);
    QCOMPARE(support::Lines(reloaded), list);
}

void PhoneBookTest::save_doesNotTouchLoadFile()
{
    QVERIFY(support::WriteFile(phonebook::LoadFileName, "Pop  Ana  555\n"));
    TRichEdit box;
    phonebook::Load(box);
    phonebook::Append(box, QStringLiteral("new"));
    phonebook::Save(box);
    QFile original(phonebook::LoadFileName);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), QByteArray("Pop  Ana  555\n"));
}

QTEST_MAIN(PhoneBookTest)
#include "tst_phonebook.moc"
