#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "printing/Printing.h"
#include "richtext/BoxLimits.h"
#include "richtext/Bridge.h"
#include "richtext/Clipboard.h"
#include "support/TestFiles.h"
#include "system/Exception.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocumentFragment>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;

// Character formatting through the box: loaded, shown, pasted, saved and loaded again.
class TRichEditTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void loadedFormatting_isShownInTheBox();
    void formattedDocument_survivesSaveAndLoad();
    void listBuiltByAdd_savesNoFormatting();
    void pastedHtml_keepsFormattingThroughSaveAndLoad();
    void pastedHtml_dropsPicturesAndKeepsLines();
    void reservedCharacters_surviveLoadSaveAndLoad_data();
    void reservedCharacters_surviveLoadSaveAndLoad();
    void heavyEdit_showsBusyCursorWhileItRuns_data();
    void heavyEdit_showsBusyCursorWhileItRuns();
    void hostileFormatting_isFoldedToWhatTheBoxHolds_data();
    void hostileFormatting_isFoldedToWhatTheBoxHolds();
    void needsBreaksAnywhere_findsLongStretch_data();
    void needsBreaksAnywhere_findsLongStretch();
    void fillInParts_givesTheDocumentOfOneFill_data();
    void fillInParts_givesTheDocumentOfOneFill();
    void fillInTurns_operationSeesWholeList_data();
    void fillInTurns_operationSeesWholeList();
    void fillInTurns_busyCursorUntilItEnds_data();
    void fillInTurns_busyCursorUntilItEnds();
    void paste_givesTheTextAsWritten_data();
    void paste_givesTheTextAsWritten();
    void copyAndPaste_keepsTheListWhole_data();
    void copyAndPaste_keepsTheListWhole();
    void paste_isOneUndoStepUnderBusyCursor_data();
    void paste_isOneUndoStepUnderBusyCursor();

private:
    std::unique_ptr<support::WorkingDirectory> directory_;
};

namespace {

const char formattedRtf[] = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 MS Sans "
                            "Serif;}{\\f1\\fnil\\fcharset238 Courier New;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                            "\\uc1\\pard\\plain\\f0\\fs16 Pop  {\\b Ana}  555\\par"
                            "{\\i Ionescu}  {\\ul Maria}  {\\strike 0722}\\par"
                            "{\\f1\\fs28 mono} {\\cf1 red} {\\highlight2 blue}\\par}";

QTextCharFormat formatAt(const TRichEdit &box, int line, int column)
{
    const QTextBlock block = box.document()->findBlockByNumber(line);
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
        const QTextFragment piece = fragment.fragment();
        const int start = piece.position() - block.position();
        if (column >= start && column < start + piece.length())
            return piece.charFormat();
    }
    return {};
}

// Enough lines that a hidden box fills them in turns.
QStringList ManyLines()
{
    QStringList lines;
    for (int i = 0; i < 3000; ++i)
        lines << QStringLiteral("Pop  Ana  %1").arg(i);
    return lines;
}

void LoadInTurns(TRichEdit &box, const QStringList &lines)
{
    QVERIFY(support::WriteFile(QStringLiteral("baza.txt"), lines.join(QLatin1Char('\n')).toUtf8()));
    box.Lines->LoadFromFile(QStringLiteral("baza.txt"));
    QVERIFY(box.Filling());
}

// Mime data as another program's comes: fetched only when asked for. Notes whether the
// busy cursor was on when it was.
class FetchedMimeData : public QMimeData {
    Q_OBJECT
public:
    mutable bool fetchedBusy = false;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override
    {
        fetchedBusy = QGuiApplication::overrideCursor()
            && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
        return QMimeData::retrieveData(mimeType, type);
    }
};

// Puts `content` on the clipboard as `kind` says: HTML, what a box of this program
// copies of its whole list (`content` being the model's text), or plain text, from
// this program or from another one.
QMimeData *SetClipboard(const QString &kind, const QString &content)
{
    if (kind == QLatin1String("copy")) {
        TRichEdit source;
        codec::RichDocument model;
        model.text = content;
        source.Document(model);
        source.FinishFill();
        source.selectAll();
        source.copy();
        return nullptr;
    }
    QMimeData *mime = kind == QLatin1String("another program") ? new FetchedMimeData : new QMimeData;
    if (kind == QLatin1String("html"))
        mime->setHtml(content);
    else
        mime->setText(content);
    QApplication::clipboard()->setMimeData(mime);
    return mime;
}

// Lines "Nou Ion 0" and on, each between `before` and `after`.
QString NewLines(int count, const QString &before = {}, const QString &after = u"\n"_s)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += before + u"Nou Ion %1"_s.arg(i) + after;
    return text;
}

int PagesPrinted(TRichEdit &box)
{
    const QString pdf = QStringLiteral("job.pdf");
    printing::PrintToFile(pdf);
    box.Print(QStringLiteral("job"));
    printing::PrintToFile({});
    return int(QString::fromLatin1(support::ReadFile(pdf))
                   .count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

}   // namespace

void TRichEditTest::init()
{
    directory_.reset();   // the previous test's folder goes first, its predecessor restored
    directory_ = std::make_unique<support::WorkingDirectory>();
    QVERIFY(directory_->isValid());
}

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

void TRichEditTest::pastedHtml_keepsFormattingThroughSaveAndLoad()
{
    TRichEdit box;
    box.Lines->Add(QStringLiteral("first"));
    auto *mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>Pop</b> <i>Ana</i> <span style=\"color:#ff0000\">555</span>"));
    mime->setText(QStringLiteral("Pop Ana 555"));
    QTextCursor cursor = box.textCursor();
    cursor.movePosition(QTextCursor::End);
    box.setTextCursor(cursor);
    QApplication::clipboard()->setMimeData(mime);
    box.paste();
    QCOMPARE(box.Lines->Strings(1), QStringLiteral("Pop Ana 555"));
    QVERIFY(formatAt(box, 1, 0).fontWeight() >= QFont::Bold);

    box.Lines->SaveToFile(QStringLiteral("out.doc"), phonebook::SaveFormat());
    TRichEdit again;
    again.Lines->LoadFromFile(QStringLiteral("out.doc"));
    QCOMPARE(again.Lines->Strings(1), QStringLiteral("Pop Ana 555"));
    QVERIFY(formatAt(again, 1, 0).fontWeight() >= QFont::Bold);
    QVERIFY(formatAt(again, 1, 4).fontItalic());
    QCOMPARE(formatAt(again, 1, 8).foreground().color(), QColor(255, 0, 0));
    QVERIFY(formatAt(again, 0, 0).fontWeight() < QFont::Bold);
}

void TRichEditTest::pastedHtml_dropsPicturesAndKeepsLines()
{
    TRichEdit box;
    auto *mime = new QMimeData;
    mime->setHtml(QStringLiteral("<ul><li>one</li><li>two<img src=\"x.png\"></li></ul>"
                                 "<table><tr><td>a</td><td>b</td></tr></table>"));
    QApplication::clipboard()->setMimeData(mime);
    box.paste();
    const QString text = box.Lines->Text();
    QVERIFY2(!text.contains(QChar::ObjectReplacementCharacter), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("one\r\ntwo\r\n")));
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

void TRichEditTest::fillInParts_givesTheDocumentOfOneFill_data()
{
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("lines");
    QTest::newRow("a character at a time") << 1 << 40;
    QTest::newRow("parts of 7") << 7 << 40;
    QTest::newRow("parts of 100") << 100 << 40;
    // Long enough that the filler lets go of the text it has filled in.
    QTest::newRow("parts of 100,000") << 100'000 << 60'000;
}

void TRichEditTest::fillInParts_givesTheDocumentOfOneFill()
{
    QFETCH(int, characters);
    QFETCH(int, lines);
    // Runs that go on over line ends and parts, and characters Qt reserves.
    codec::CharacterFormat bold;
    bold.bold = true;
    codec::CharacterFormat red;
    red.foreground = codec::Rgb { 255, 0, 0 };
    codec::RichDocument model;
    for (int i = 0; i < lines; ++i) {
        model.append(QStringLiteral("Pop  "), i % 3 ? bold : red);
        model.append(QStringLiteral("A\uFDD0na  "), bold);
        model.append(QString::number(i * 7919), {});
        model.endParagraph();
    }
    QTextDocument whole;
    {
        richtext::Filler filler(whole, model);
        filler.Step(filler.Remaining());
        QVERIFY(filler.HoldsFormatting());
    }
    QTextDocument parts;
    {
        richtext::Filler filler(parts, model);
        while (!filler.Done())
            filler.Step(characters);
        QVERIFY(filler.HoldsFormatting());
    }
    QVERIFY(parts.isUndoRedoEnabled());
    QCOMPARE(parts.availableUndoSteps(), 0);
    QCOMPARE(richtext::ToRichDocument(parts), richtext::ToRichDocument(whole));
    QCOMPARE(richtext::ToRichDocument(parts).lines(), model.lines());
}

void TRichEditTest::fillInTurns_operationSeesWholeList_data()
{
    QTest::addColumn<QString>("operation");
    for (const char *operation : { "Count", "Strings", "Add", "Delete", "Text", "CaretPos", "Document",
             "SaveToFile", "Print", "show", "key press", "focus" })
        QTest::newRow(operation) << QString::fromLatin1(operation);
}

void TRichEditTest::fillInTurns_operationSeesWholeList()
{
    QFETCH(QString, operation);
    const QStringList lines = ManyLines();
    const int last = int(lines.size()) - 1;
    int pagesOfWholeList = 0;
    if (operation == QLatin1String("Print")) {
        TRichEdit filled;
        filled.Document(support::DocumentOf(lines));
        filled.FinishFill();
        pagesOfWholeList = PagesPrinted(filled);
        QVERIFY(pagesOfWholeList > 1);
    }
    QWidget window;
    auto *box = new TRichEdit(&window);
    box->hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    LoadInTurns(*box, lines);
    TStrings &list = *box->Lines;

    QStringList expected = lines;
    if (operation == QLatin1String("Count")) {
        QCOMPARE(list.Count(), lines.size());
    } else if (operation == QLatin1String("Strings")) {
        QCOMPARE(list.Strings(last), lines.last());
    } else if (operation == QLatin1String("Add")) {
        list.Add(QStringLiteral("Nou  Ion  1"));
        expected << QStringLiteral("Nou  Ion  1");
    } else if (operation == QLatin1String("Delete")) {
        list.Delete(last);
        expected.removeLast();
    } else if (operation == QLatin1String("Text")) {
        QCOMPARE(list.Text(), lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    } else if (operation == QLatin1String("CaretPos")) {
        QCOMPARE(box->CaretPos().Y, 0);
    } else if (operation == QLatin1String("Document")) {
        QCOMPARE(box->Document().lines(), lines);
    } else if (operation == QLatin1String("SaveToFile")) {
        list.SaveToFile(QStringLiteral("baza.doc"), phonebook::SaveFormat());
        QCOMPARE(codec::ReadRtf(support::ReadFile(QStringLiteral("baza.doc"))).lines(), lines);
    } else if (operation == QLatin1String("Print")) {
        QCOMPARE(PagesPrinted(*box), pagesOfWholeList);
    } else if (operation == QLatin1String("show")) {
        box->show();
    } else if (operation == QLatin1String("key press")) {
        QTest::keyClick(box, Qt::Key_X);
        expected.first().prepend(QLatin1Char('x'));
    } else if (operation == QLatin1String("focus")) {
        box->show();
        box->setFocus();
    }
    QVERIFY(!box->Filling());
    QCOMPARE(support::Lines(*box), expected);
}

void TRichEditTest::fillInTurns_busyCursorUntilItEnds_data()
{
    QTest::addColumn<QString>("end");
    for (const char *end :
        { "by itself", "by itself, in a window on screen", "Clear", "another load", "the box destroyed" })
        QTest::newRow(end) << QString::fromLatin1(end);
}

void TRichEditTest::fillInTurns_busyCursorUntilItEnds()
{
    QFETCH(QString, end);
    const QStringList lines = ManyLines();
    QWidget window;
    auto box = std::make_unique<TRichEdit>();
    if (end.contains(QLatin1String("window"))) {
        box->setParent(&window);
        box->hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(50);
    }
    QSignalSpy filled(box.get(), &TRichEdit::filled);
    LoadInTurns(*box, lines);
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);

    QStringList expected = lines;
    if (end.startsWith(QLatin1String("by itself"))) {
        QVERIFY(filled.wait());
    } else if (end == QLatin1String("Clear")) {
        box->Clear();
        expected.clear();
    } else if (end == QLatin1String("another load")) {
        expected = lines.mid(500);
        LoadInTurns(*box, expected);
        QVERIFY(filled.wait());
        QCOMPARE(filled.count(), 1);
    } else {
        box.reset();
    }
    QVERIFY(!QGuiApplication::overrideCursor());
    if (box) {
        QVERIFY(!box->Filling());
        QCOMPARE(support::Lines(*box), expected);
    }
}

void TRichEditTest::paste_givesTheTextAsWritten_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("pasted");
    // The list after the paste, which goes before "Ion" in "Pop  Ana  555", "Ion".
    QTest::addColumn<QStringList>("expected");
    const QString first = u"Pop  Ana  555"_s;
    const QString kept = u"a\u2028b\uFDD0c\uFDD1d\uFFFD\uFFFC"_s;
    QTest::newRow("plain, line ends of every kind")
        << u"plain"_s << u"a\r\n\r\nb\n\rc\u2029\u2029d"_s
        << QStringList { first, u"a"_s, {}, u"b"_s, {}, u"c"_s, {}, u"dIon"_s };
    QTest::newRow("plain, characters kept and dropped")
        << u"plain"_s << QString::fromUtf16(u"\0", 1) + kept + u'\n' << QStringList { first, kept, u"Ion"_s };
    QTest::newRow("html, line ends of every kind")
        << u"html"_s << u"<p>a\r\nb\nc\rd<br>e&#x2029;f</p>\r\n<p>g</p>\r<pre>h\ni\r\nj</pre>"_s
        << QStringList { first, u"a b c d\u2028e"_s, u"f"_s, u"g"_s, u"h"_s, u"i"_s, u"jIon"_s };
    QTest::newRow("html into a read-only box")
        << u"html, read-only"_s << u"<p>a</p>"_s << QStringList { first, u"Ion"_s };
    QTest::newRow("copy of whole lines")
        << u"copy"_s << u"a\nb\n"_s << QStringList { first, u"a"_s, u"b"_s, u"Ion"_s };
}

void TRichEditTest::paste_givesTheTextAsWritten()
{
    QFETCH(QString, kind);
    QFETCH(QString, pasted);
    QFETCH(QStringList, expected);
    TRichEdit box;
    box.Document(support::DocumentOf({ QStringLiteral("Pop  Ana  555"), QStringLiteral("Ion") }));
    box.setTextCursor(QTextCursor(box.document()->findBlockByNumber(1)));
    box.setReadOnly(kind.endsWith(QLatin1String("read-only")));
    SetClipboard(kind.section(u',', 0, 0), pasted);
    box.paste();
    QCOMPARE(box.Document().lines(), expected);
}

void TRichEditTest::copyAndPaste_keepsTheListWhole_data()
{
    QTest::addColumn<bool>("anotherRun");
    QTest::newRow("in this run") << false;
    QTest::newRow("into another run") << true;
}

void TRichEditTest::copyAndPaste_keepsTheListWhole()
{
    QFETCH(bool, anotherRun);
    // Formats, and characters Qt reserves.
    const QByteArray rtf
        = QByteArray(formattedRtf).chopped(1) + "{\\b a\\u-560?b}\\par c\\u-559?\\u-3?\\par}";
    QVERIFY(support::WriteFile(QStringLiteral("in.rtf"), rtf));
    TRichEdit source;
    source.Lines->LoadFromFile(QStringLiteral("in.rtf"));
    source.selectAll();
    source.copy();
    // Other programs have the lines as plain text, each ended, as all of them were selected.
    QCOMPARE(QApplication::clipboard()->text(), source.Document().lines().join(u'\n') + u'\n');
    if (anotherRun) {
        auto *mime = new QMimeData;
        mime->setData(
            richtext::listMimeType, QApplication::clipboard()->mimeData()->data(richtext::listMimeType));
        QApplication::clipboard()->setMimeData(mime);
    }
    TRichEdit target;
    target.paste();
    QCOMPARE(target.Document().lines().size(), 5);
    QCOMPARE(target.Document(), source.Document());

    // Part of two lines, to the end of the second but not its line end, pasted before "X":
    // "Pop  [Ana  555", "Ionescu  Maria  0722]", with "Ana" bold and "Ionescu" italic.
    const QTextBlock second = source.document()->findBlockByNumber(1);
    QTextCursor part(source.document());
    part.setPosition(5);
    part.setPosition(second.position() + second.length() - 1, QTextCursor::KeepAnchor);
    source.setTextCursor(part);
    source.copy();
    TRichEdit partTarget;
    partTarget.Document(support::DocumentOf({ u"X"_s }));
    partTarget.paste();
    QCOMPARE(partTarget.Document().lines(), QStringList({ u"Ana  555"_s, u"Ionescu  Maria  0722X"_s }));
    QVERIFY(formatAt(partTarget, 0, 2).fontWeight() >= QFont::Bold);
    QVERIFY(formatAt(partTarget, 0, 3).fontWeight() < QFont::Bold);
    QVERIFY(formatAt(partTarget, 1, 2).fontItalic());
}

void TRichEditTest::paste_isOneUndoStepUnderBusyCursor_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("lines");
    for (const char *kind : { "plain", "html", "copy", "another program" }) {
        for (int lines : { 3, 20'000 })
            QTest::addRow("%s, %d lines", kind, lines) << QString::fromLatin1(kind) << lines;
    }
    QTest::newRow("into a list being filled") << u"filling"_s << 3;
    QTest::newRow("refused for want of memory") << u"refused"_s << 200'000;
}

void TRichEditTest::paste_isOneUndoStepUnderBusyCursor()
{
    QFETCH(QString, kind);
    QFETCH(int, lines);
    const bool filling = kind == QLatin1String("filling");
    QWidget window;
    auto *box = new TRichEdit(&window);
    if (filling) {
        box->hide();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        LoadInTurns(*box, ManyLines());
    } else {
        QVERIFY(support::WriteFile(QStringLiteral("in.rtf"), formattedRtf));
        box->Lines->LoadFromFile(QStringLiteral("in.rtf"));
        // From inside the first line to inside the second: the paste replaces it.
        QTextCursor cursor(box->document());
        cursor.setPosition(5);
        cursor.setPosition(box->document()->findBlockByNumber(1).position() + 3, QTextCursor::KeepAnchor);
        box->setTextCursor(cursor);
    }
    const auto *fetched = qobject_cast<FetchedMimeData *>(SetClipboard(
        kind, kind == QLatin1String("html") ? NewLines(lines, u"<p>"_s, u"</p>"_s) : NewLines(lines)));
    // What Undo must bring back: the whole list, also when the paste comes during the fill.
    const codec::RichDocument before = filling ? support::DocumentOf(ManyLines()) : box->Document();
    bool busy = false;
    connect(box->document(), &QTextDocument::contentsChange, this, [&busy] {
        busy = QGuiApplication::overrideCursor()
            && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
    });
    if (filling)
        box->paste();
    window.show();
    box->show();
    box->setFocus();
    if (kind == QLatin1String("refused")) {
#if defined(Q_OS_LINUX) && !defined(__SANITIZE_ADDRESS__)
        const QByteArray status = support::ReadFile(u"/proc/self/status"_s);
        const qint64 data
            = status.mid(status.indexOf("VmData:") + 7).trimmed().split(' ').first().toLongLong();
        struct rlimit limit { };
        QCOMPARE(getrlimit(RLIMIT_DATA, &limit), 0);
        const struct rlimit previous = limit;
        limit.rlim_cur = rlim_t(data * 1024 + (64 << 20));
        QCOMPARE(setrlimit(RLIMIT_DATA, &limit), 0);
        QVERIFY_THROWS_EXCEPTION(Exception, box->paste());
        QCOMPARE(setrlimit(RLIMIT_DATA, &previous), 0);
        QCOMPARE(box->Document(), before);
        QVERIFY(!QGuiApplication::overrideCursor());
        return;
#else
        QSKIP("the limit is set with setrlimit, which leaves no room for the sanitizer's reservations");
#endif
    }
    if (!filling)
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    // Another program's data may be large, and its size is learnt only once it has come.
    QVERIFY(!fetched || fetched->fetchedBusy);
    QCOMPARE(busy, lines > 3);
    const codec::RichDocument after = box->Document();
    QVERIFY(after.text.contains(u"Nou Ion 0\n"_s));
    QVERIFY(after.text.contains(u"Nou Ion %1"_s.arg(lines - 1)));
    // One step: the list as it was, and no step left, the list having been loaded.
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box->Document(), before);
    QVERIFY(!box->document()->isUndoAvailable());
    busy = false;
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(box->Document(), after);
    QCOMPARE(busy, lines > 3);
    QVERIFY(!QGuiApplication::overrideCursor());
}

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    TRichEditTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_richedit.moc"
