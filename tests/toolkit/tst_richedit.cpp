#include "RichEditFixture.h"
#include "codec/RichDocument.h"
#include "phonebook/PhoneBook.h"
#include "richtext/BoxLimits.h"
#include "richtext/Bridge.h"
#include "richtext/Printing.h"
#include "support/TestFiles.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextDocumentFragment>

using namespace Qt::StringLiterals;
using namespace boxfixture;

// Character formatting through the box: loaded, shown, saved and loaded again, and
// folded to what the box can lay out; heavy edits under the busy cursor.
class TRichEditTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void loadedFormatting_isShownInTheBox();
    void formattedDocument_survivesSaveAndLoad();
    void listBuiltByAdd_savesNoFormatting();
    void reservedCharacters_surviveLoadSaveAndLoad_data();
    void reservedCharacters_surviveLoadSaveAndLoad();
    void heavyEdit_showsBusyCursorWhileItRuns_data();
    void heavyEdit_showsBusyCursorWhileItRuns();
    void hostileFormatting_isFoldedToWhatTheBoxHolds_data();
    void hostileFormatting_isFoldedToWhatTheBoxHolds();
    void needsBreaksAnywhere_findsLongStretch_data();
    void needsBreaksAnywhere_findsLongStretch();

private:
    support::PerTest<support::WorkingDirectory> directory_;
};

void TRichEditTest::init() { QVERIFY(directory_.renew()); }

void TRichEditTest::loadedFormatting_isShownInTheBox()
{
    QVERIFY(support::WriteFile(QStringLiteral("in.rtf"), formattedRtf));
    TRichEdit box;
    box.Lines->LoadFromFile(QStringLiteral("in.rtf"));
    QCOMPARE(box.Lines->Count(), 3);
    QCOMPARE(box.Lines->Strings(0), QStringLiteral("Pop  Ana  555"));
    QVERIFY(formatAt(box, 0, 5).fontWeight() >= QFont::Bold);
    QVERIFY(formatAt(box, 0, 0).fontWeight() < QFont::Bold);
    QVERIFY(formatAt(box, 1, 0).fontItalic());
    QVERIFY(formatAt(box, 1, 9).fontUnderline());
    QVERIFY(formatAt(box, 1, 16).fontStrikeOut());
    QCOMPARE(formatAt(box, 2, 0).fontFamilies().toStringList().value(0), QStringLiteral("Courier New"));
    QCOMPARE(formatAt(box, 2, 0).fontPointSize(), 14.0);
    QCOMPARE(formatAt(box, 2, 5).foreground().color(), QColor(255, 0, 0));
    QCOMPARE(formatAt(box, 2, 9).background().color(), QColor(0, 0, 255));
}

void TRichEditTest::formattedDocument_survivesSaveAndLoad()
{
    QVERIFY(support::WriteFile(QStringLiteral("in.rtf"), formattedRtf));
    TRichEdit box;
    box.Lines->LoadFromFile(QStringLiteral("in.rtf"));
    const codec::RichDocument loaded = box.Document();
    QVERIFY(!loaded.runs.empty());
    box.Lines->SaveToFile(QStringLiteral("out.doc"), phonebook::SaveFormat());

    TRichEdit again;
    again.Lines->LoadFromFile(QStringLiteral("out.doc"));
    QCOMPARE(again.Document().text, loaded.text);
    QVERIFY(again.Document() == loaded);
}

void TRichEditTest::listBuiltByAdd_savesNoFormatting()
{
    TRichEdit box;
    box.Lines->Add(QStringLiteral("Pop  Ana  555"));
    box.Lines->Add(QStringLiteral("Ionescu  Maria  0722"));
    QVERIFY(box.Document().runs.empty());
    box.Lines->SaveToFile(QStringLiteral("out.doc"), phonebook::SaveFormat());
    const QByteArray saved = support::ReadFile(QStringLiteral("out.doc"));
    for (const char *word :
        { "\\b", "\\i ", "\\ul", "\\strike", "\\cf", "\\highlight", "\\colortbl", "\\f1" })
        QVERIFY2(!saved.contains(word), word);
    QVERIFY(saved.contains("Pop  Ana  555\\par"));
}

void TRichEditTest::reservedCharacters_surviveLoadSaveAndLoad_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("lines");
    const QStringList lines = { QStringLiteral("a\uFDD0b"), QStringLiteral("c\uFDD1d"),
        QStringLiteral("e\uFFFCf"), QStringLiteral("\uFDD0\uFDD0\uFFFD"), QStringLiteral("g\u2028h") };
    QTest::newRow("plain UTF-8") << lines.join(QLatin1Char('\n')).toUtf8() << lines;
    QTest::newRow("rtf") << QByteArray("{\\rtf1{\\b a\\u-560?b}\\par c\\u-559?d\\par e\\u-4?f\\par "
                                       "\\u-560?\\u-560?\\u-3?\\par g\\line h\\par}")
                         << lines;
    // The readers take U+2029 for the paragraph end it is: two lines, then and after a save.
    QTest::newRow("U+2029 inside a line")
        << QStringLiteral("g\u2029h").toUtf8() << QStringList { QStringLiteral("g"), QStringLiteral("h") };
}

void TRichEditTest::reservedCharacters_surviveLoadSaveAndLoad()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, lines);
    QVERIFY(support::WriteFile(QStringLiteral("baza.txt"), file));
    TRichEdit box;
    box.Lines->LoadFromFile(QStringLiteral("baza.txt"));
    QCOMPARE(box.Lines->Count(), lines.size());
    QCOMPARE(box.Document().lines(), lines);
    box.Lines->SaveToFile(QStringLiteral("baza.doc"), phonebook::SaveFormat());
    TRichEdit again;
    again.Lines->LoadFromFile(QStringLiteral("baza.doc"));
    QCOMPARE(again.Document().lines(), lines);
    QCOMPARE(again.Document(), box.Document());

    // Typed after a stand-in, a letter stays what it is.
    if (!lines.value(0).contains(QChar(0xFDD0)))
        return;
    QTextCursor cursor(again.document()->firstBlock());
    cursor.setPosition(2);
    again.setTextCursor(cursor);
    QTest::keyClick(&again, Qt::Key_X);
    QCOMPARE(again.Document().lines().value(0), QStringLiteral("a\uFDD0xb"));
}

void TRichEditTest::heavyEdit_showsBusyCursorWhileItRuns_data()
{
    // `selected`: lines selected from the first before the keys; -1: all.
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("undo");
    QTest::addColumn<bool>("busy");
    QTest::newRow("select all and delete") << -1 << false << true;
    QTest::newRow("its undo") << -1 << true << true;
    QTest::newRow("delete of 3 lines") << 3 << false << false;
    QTest::newRow("delete of 15,000 lines") << 15'000 << false << true;
}

void TRichEditTest::heavyEdit_showsBusyCursorWhileItRuns()
{
    QFETCH(int, selected);
    QFETCH(bool, undo);
    QFETCH(bool, busy);
    QStringList lines;
    for (int i = 0; i < 20'000; ++i)
        lines << QStringLiteral("Pop  Ana  %1").arg(i);
    QVERIFY(support::WriteFile(QStringLiteral("baza.txt"), lines.join(QLatin1Char('\n')).toUtf8()));
    TRichEdit box;
    box.Lines->LoadFromFile(QStringLiteral("baza.txt"));
    box.show();
    QTextCursor cursor(box.document());
    if (selected < 0)
        cursor.select(QTextCursor::Document);
    else
        cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, selected);
    box.setTextCursor(cursor);
    if (undo)
        QTest::keyClick(&box, Qt::Key_Delete);
    bool busyDuringChange = false;
    connect(box.document(), &QTextDocument::contentsChange, this, [&] {
        const QCursor *override = QGuiApplication::overrideCursor();
        busyDuringChange = override && override->shape() == Qt::WaitCursor;
    });
    if (undo)
        QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
    else
        QTest::keyClick(&box, Qt::Key_Delete);
    QCOMPARE(box.Lines->Count(), undo ? 20'000 : selected < 0 ? 0 : 20'000 - selected);
    QCOMPARE(busyDuringChange, busy);
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TRichEditTest::hostileFormatting_isFoldedToWhatTheBoxHolds_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");
    const auto pieces = [](const QByteArray &format) {
        QByteArray rtf = "{\\rtf1{\\fonttbl{\\f0 Base;}";
        for (int i = 1; i <= 40; ++i)
            rtf += "{\\f" + QByteArray::number(i) + " F" + QByteArray::number(i) + ";}";
        rtf += "}";
        for (int i = 1; i <= 40; ++i)
            rtf += "{" + QByteArray(format).replace("#", QByteArray::number(i)) + " x}";
        return rtf + "\\par}";
    };
    QTest::newRow("size above 1638 pt")
        << QByteArray("{\\rtf1 {\\fs99999 x}\\par}") << 0 << QStringLiteral("size") << QVariant(1638.0);
    QTest::newRow("size below 1 pt") << QByteArray("{\\rtf1 {\\fs1 x}\\par}") << 0 << QStringLiteral("size")
                                     << QVariant(1.0);
    // 40 sizes 5 pt apart: the 33rd, 166.5 pt, becomes the nearest kept, the 32nd.
    QTest::newRow("33rd size") << pieces("\\fs#3") << 32 << QStringLiteral("size") << QVariant(161.5);
    QTest::newRow("32nd size kept") << pieces("\\fs#3") << 31 << QStringLiteral("size") << QVariant(161.5);
    QTest::newRow("31st size kept") << pieces("\\fs#3") << 30 << QStringLiteral("size") << QVariant(156.5);
    QTest::newRow("33rd family") << pieces("\\f#") << 32 << QStringLiteral("family") << QVariant(QString());
    QTest::newRow("32nd family kept")
        << pieces("\\f#") << 31 << QStringLiteral("family") << QVariant(QStringLiteral("F32"));
    // 600 pieces in one line: merged two by two, each pair in the bold of its first.
    QTest::newRow("runs beyond 256 in a line") << "{\\rtf1 " + QByteArray("{\\b x}y").repeated(600) + "\\par}"
                                               << 1 << QStringLiteral("bold") << QVariant(true);
}

void TRichEditTest::hostileFormatting_isFoldedToWhatTheBoxHolds()
{
    QFETCH(QByteArray, rtf);
    QFETCH(int, column);
    QFETCH(QString, property);
    QFETCH(QVariant, expected);
    QVERIFY(support::WriteFile(QStringLiteral("in.rtf"), rtf));
    TRichEdit box;
    box.Lines->LoadFromFile(QStringLiteral("in.rtf"));
    // Through a paste too, into a box that already holds the loaded formats.
    auto *mime = new QMimeData;
    QTextDocumentFragment fragment(box.document());
    mime->setHtml(fragment.toHtml());
    QApplication::clipboard()->setMimeData(mime);
    TRichEdit pastedInto;
    pastedInto.paste();
    for (const TRichEdit *target : { &box, &pastedInto }) {
        const QTextCharFormat format = formatAt(*target, 0, column);
        const QVariant actual = property == QLatin1String("size") ? QVariant(format.fontPointSize())
            : property == QLatin1String("family") ? QVariant(format.fontFamilies().toStringList().value(0))
                                                  : QVariant(format.fontWeight() >= QFont::Bold);
        QCOMPARE(actual, expected);
    }
    QCOMPARE(box.Lines->Strings(0), pastedInto.Lines->Strings(0));
}

void TRichEditTest::needsBreaksAnywhere_findsLongStretch_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("needs");
    const int limit = richtext::limits::longestWord;
    const QString word(limit, QLatin1Char('x'));
    const QString lines = QStringLiteral("Pop  Ana  555\n").repeated(200);
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("a word at the limit") << word << false;
    QTest::newRow("one past it") << word + QLatin1Char('x') << true;
    QTest::newRow("past it, split by a tab") << word.left(300) + QLatin1Char('\t') + word << false;
    QTest::newRow("after short lines") << lines + word + QLatin1Char('x') << true;
    QTest::newRow("between short lines") << lines + QLatin1Char('x') + word + lines << true;
    QTest::newRow("words just short of it")
        << (word.left(limit - 1) + QLatin1Char('\n')).repeated(5) + word << false;
    QTest::newRow("blank near each window's end")
        << (word.left(limit - 2) + QLatin1Char(' ')).repeated(5) + QLatin1Char('y') + word << true;
}

void TRichEditTest::needsBreaksAnywhere_findsLongStretch()
{
    QFETCH(QString, text);
    QFETCH(bool, needs);
    QCOMPARE(richtext::NeedsBreaksAnywhere(text), needs);
}

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    TRichEditTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_richedit.moc"
