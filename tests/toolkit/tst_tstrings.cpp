#include "vcl/TRichEdit.h"

#include "system/Exception.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

// The list of lines that a rich-text box holds, through the box's own editing as well
// as through the list's operations.
class TStringsTest : public QObject {
    Q_OBJECT

private slots:
    void count_data();
    void count();
    void add_data();
    void add();
    void deleteLine_data();
    void deleteLine();
    void text_data();
    void text();
    void outOfRange_throwsAndKeepsLines_data();
    void outOfRange_throwsAndKeepsLines();
    void wrappedLine_isOneLine();
    void caretPos_followsParagraphs();
    void add_afterFormattedText_staysPlain();
    void loadFromFile_startsFresh();
    void loadFromFile_afterFormattedCaret_loadsDefaultFormat();
    void loadFromFile_wrapsToTheShownWidth_data();
    void loadFromFile_wrapsToTheShownWidth();
};

namespace {

// The box as a user would leave it: `content` typed in, '\n' for Enter.
void type(TRichEdit &box, const QString &content)
{
    box.setPlainText(content);
}

QStringList lines(const TStrings &strings)
{
    QStringList result;
    for (int i = 0; i < strings.Count(); ++i)
        result.append(strings[i]);
    return result;
}

QString writeListFile(const QTemporaryDir &directory, const QByteArray &bytes)
{
    const QString name = directory.filePath(QStringLiteral("baza.txt"));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return name;
}

const QString longLine = QString(QStringLiteral("Popescu  Ion  0744 ")).repeated(20);

// The number of screen lines that the first line takes once painted.
int shownLineCount(TRichEdit &box)
{
    QCoreApplication::processEvents();
    box.repaint();
    return box.document()->firstBlock().layout()->lineCount();
}

// As the main window's list: no scroll bar to take width from the text.
void prepare(TRichEdit &box, int width)
{
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box.resize(width, 200);
}

enum class Sequence { LoadThenShow, ShowThenLoad, LoadShowThenWiden, LoadWidenHiddenThenShow };

}   // namespace

Q_DECLARE_METATYPE(Sequence)

void TStringsTest::count_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("empty box") << QString() << QStringList();
    QTest::newRow("one line, no end") << QStringLiteral("Pop  Ana  555") << QStringList{QStringLiteral("Pop  Ana  555")};
    QTest::newRow("one line with end") << QStringLiteral("a\n") << QStringList{QStringLiteral("a")};
    QTest::newRow("one empty line") << QStringLiteral("\n") << QStringList{QString()};
    QTest::newRow("two empty lines") << QStringLiteral("\n\n") << QStringList{QString(), QString()};
    QTest::newRow("empty line in the middle") << QStringLiteral("a\n\nb") << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    QTest::newRow("blanks only") << QStringLiteral("    ") << QStringList{QStringLiteral("    ")};
}

void TStringsTest::count()
{
    QFETCH(QString, content);
    QFETCH(QStringList, expected);
    TRichEdit box;
    type(box, content);
    QCOMPARE(box.Lines->Count(), expected.size());
    QCOMPARE(lines(*box.Lines), expected);
}

void TStringsTest::add_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("to an empty box") << QString() << QStringList{QStringLiteral("x")} << QStringList{QStringLiteral("x")};
    QTest::newRow("four blanks") << QString() << QStringList{QStringLiteral("    ")} << QStringList{QStringLiteral("    ")};
    QTest::newRow("an empty line to an empty box") << QString() << QStringList{QString()} << QStringList{QString()};
    QTest::newRow("after a line without end") << QStringLiteral("a") << QStringList{QStringLiteral("b")} << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("after a line with end") << QStringLiteral("a\n") << QStringList{QStringLiteral("b")} << QStringList{QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("empty after a line without end") << QStringLiteral("a") << QStringList{QString()} << QStringList{QStringLiteral("a"), QString()};
    QTest::newRow("three identical") << QString() << QStringList{QStringLiteral("p"), QStringLiteral("p"), QStringLiteral("p")} << QStringList{QStringLiteral("p"), QStringLiteral("p"), QStringLiteral("p")};
    QTest::newRow("tab and non-BMP") << QString() << QStringList{QStringLiteral("a\tb \U0001F4DE ș")} << QStringList{QStringLiteral("a\tb \U0001F4DE ș")};
}

void TStringsTest::add()
{
    QFETCH(QString, content);
    QFETCH(QStringList, added);
    QFETCH(QStringList, expected);
    TRichEdit box;
    type(box, content);
    for (const QString &line : added)
        box.Lines->Add(line);
    QCOMPARE(lines(*box.Lines), expected);
}

void TStringsTest::deleteLine_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("expected");
    const QString five = QStringLiteral("l0\nl1\nl2\nl3\nl4\n");
    QTest::newRow("first of three") << QStringLiteral("a\nb\nc\n") << 0 << QStringList{QStringLiteral("b"), QStringLiteral("c")};
    QTest::newRow("middle of five") << five << 2 << QStringList{QStringLiteral("l0"), QStringLiteral("l1"), QStringLiteral("l3"), QStringLiteral("l4")};
    QTest::newRow("last with end") << QStringLiteral("a\nb\n") << 1 << QStringList{QStringLiteral("a")};
    QTest::newRow("last without end") << QStringLiteral("a\nb") << 1 << QStringList{QStringLiteral("a")};
    QTest::newRow("only line without end") << QStringLiteral("a") << 0 << QStringList();
    QTest::newRow("only line with end") << QStringLiteral("a\n") << 0 << QStringList();
    QTest::newRow("empty line between") << QStringLiteral("a\n\nb\n") << 1 << QStringList{QStringLiteral("a"), QStringLiteral("b")};
}

void TStringsTest::deleteLine()
{
    QFETCH(QString, content);
    QFETCH(int, index);
    QFETCH(QStringList, expected);
    TRichEdit box;
    type(box, content);
    box.Lines->Delete(index);
    QCOMPARE(lines(*box.Lines), expected);
}

void TStringsTest::text_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("last line without end") << QStringLiteral("a\nb") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("last line with end") << QStringLiteral("a\nb\n") << QStringLiteral("a\r\nb\r\n");
    QTest::newRow("empty lines") << QStringLiteral("\n\n") << QStringLiteral("\r\n\r\n");
    QTest::newRow("no-break space kept") << QStringLiteral("a\u00a0b") << QStringLiteral("a\u00a0b\r\n");
}

void TStringsTest::text()
{
    QFETCH(QString, content);
    QFETCH(QString, expected);
    TRichEdit box;
    type(box, content);
    QCOMPARE(box.Lines->Text(), expected);
    QCOMPARE(box.Text(), expected);
}

void TStringsTest::outOfRange_throwsAndKeepsLines_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("index");
    QTest::newRow("past the end") << QStringLiteral("a\nb\n") << 2;
    QTest::newRow("the empty paragraph that ends the text") << QStringLiteral("a\n") << 1;
    QTest::newRow("negative") << QStringLiteral("a\n") << -1;
    QTest::newRow("empty list") << QString() << 0;
}

// Reading and deleting agree on which numbers name a line.
void TStringsTest::outOfRange_throwsAndKeepsLines()
{
    QFETCH(QString, content);
    QFETCH(int, index);
    TRichEdit box;
    type(box, content);
    const QStringList before = lines(*box.Lines);
    QVERIFY_THROWS_EXCEPTION(Exception, box.Lines->Strings(index));
    QVERIFY_THROWS_EXCEPTION(Exception, box.Lines->Delete(index));
    QCOMPARE(lines(*box.Lines), before);
}

void TStringsTest::wrappedLine_isOneLine()
{
    TRichEdit box;
    box.resize(120, 200);
    box.show();
    const QString longLine = QString(QStringLiteral("Popescu  Ion  0744 ")).repeated(20);
    box.Lines->Add(longLine);
    box.Lines->Add(QStringLiteral("next"));
    QVERIFY(box.document()->firstBlock().layout()->lineCount() > 1);
    QCOMPARE(box.Lines->Count(), 2);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(longLine.size() - 3);
    box.setTextCursor(cursor);
    QCOMPARE(box.CaretPos().Y, 0);
    box.Lines->Delete(box.CaretPos().Y);
    QCOMPARE(lines(*box.Lines), QStringList{QStringLiteral("next")});
}

void TStringsTest::caretPos_followsParagraphs()
{
    TRichEdit box;
    type(box, QStringLiteral("l0\nl1\nl2 text\n"));
    QCOMPARE(box.CaretPos().Y, 0);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(9);   // "l2 |text"
    box.setTextCursor(cursor);
    QCOMPARE(box.CaretPos().Y, 2);
    QCOMPARE(box.CaretPos().X, 3);
    cursor.movePosition(QTextCursor::End);
    box.setTextCursor(cursor);
    // The empty paragraph after the last line names no line: deleting there changes nothing.
    QCOMPARE(box.CaretPos().Y, box.Lines->Count());
}

void TStringsTest::add_afterFormattedText_staysPlain()
{
    TRichEdit box;
    QTextCursor cursor(box.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("bold"), bold);
    box.Lines->Add(QStringLiteral("plain"));
    const QTextBlock added = box.document()->findBlockByNumber(1);
    QCOMPARE(added.text(), QStringLiteral("plain"));
    QVERIFY(added.begin().fragment().charFormat().fontWeight() != QFont::Bold);
}

void TStringsTest::loadFromFile_startsFresh()
{
    QTemporaryDir directory;
    const QString name = writeListFile(directory, "a\r\nb\r\nc\r\n");
    TRichEdit box;
    type(box, QStringLiteral("old\nlines"));
    box.moveCursor(QTextCursor::End);
    box.Lines->LoadFromFile(name);
    QCOMPARE(lines(*box.Lines), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    QCOMPARE(box.CaretPos().X, 0);
    QCOMPARE(box.CaretPos().Y, 0);
    QVERIFY(!box.document()->isModified());
    QVERIFY(!box.document()->isUndoAvailable());
}

void TStringsTest::loadFromFile_afterFormattedCaret_loadsDefaultFormat()
{
    QTemporaryDir directory;
    const QString name = writeListFile(directory, "Pop  Ana  555\r\n");
    TRichEdit box;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCursor cursor(box.document());
    cursor.insertText(QStringLiteral("bold"), bold);
    box.setTextCursor(cursor);
    box.Clear();
    box.Lines->LoadFromFile(name);
    const QTextBlock loaded = box.document()->firstBlock();
    QCOMPARE(loaded.text(), QStringLiteral("Pop  Ana  555"));
    QVERIFY(loaded.begin().fragment().charFormat().fontWeight() != QFont::Bold);
    QVERIFY(box.Document().runs.empty());
}

void TStringsTest::loadFromFile_wrapsToTheShownWidth_data()
{
    QTest::addColumn<Sequence>("sequence");
    QTest::newRow("loaded hidden, then shown") << Sequence::LoadThenShow;
    QTest::newRow("loaded while shown") << Sequence::ShowThenLoad;
    QTest::newRow("widened while shown") << Sequence::LoadShowThenWiden;
    QTest::newRow("widened while hidden, then shown") << Sequence::LoadWidenHiddenThenShow;
}

void TStringsTest::loadFromFile_wrapsToTheShownWidth()
{
    QFETCH(Sequence, sequence);
    QTemporaryDir directory;
    const QString name = writeListFile(directory, longLine.toUtf8() + "\r\nnext\r\n");
    const bool widened = sequence == Sequence::LoadShowThenWiden || sequence == Sequence::LoadWidenHiddenThenShow;
    const int finalWidth = widened ? 360 : 120;

    TRichEdit reference;
    prepare(reference, finalWidth);
    reference.show();
    reference.Lines->Add(longLine);

    TRichEdit box;
    prepare(box, 120);
    switch (sequence) {
    case Sequence::LoadThenShow:
        box.Lines->LoadFromFile(name);
        box.show();
        break;
    case Sequence::ShowThenLoad:
        box.show();
        box.Lines->LoadFromFile(name);
        break;
    case Sequence::LoadShowThenWiden:
        box.Lines->LoadFromFile(name);
        box.show();
        QVERIFY(shownLineCount(box) > 1);
        box.resize(finalWidth, 200);
        break;
    case Sequence::LoadWidenHiddenThenShow:
        box.show();
        box.Lines->LoadFromFile(name);
        QVERIFY(shownLineCount(box) > 1);
        box.hide();
        box.resize(finalWidth, 200);
        box.show();
        break;
    }
    QCOMPARE(shownLineCount(box), shownLineCount(reference));
    QVERIFY(shownLineCount(box) > 1);
}

QTEST_MAIN(TStringsTest)
#include "tst_tstrings.moc"
