#include "RichEditFixture.h"
#include "codec/rtf/Reader.h"
#include "phonebook/PhoneBook.h"
#include "richtext/Bridge.h"
#include "richtext/Printing.h"
#include "support/Formats.h"
#include "support/PdfText.h"
#include "support/TestFiles.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

using namespace Qt::StringLiterals;
using namespace boxfixture;

// A long list put into the box in turns while the window is up: the same document as
// one fill, whole for anything that needs it, under the busy cursor until it ends.
class RichEditFillTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void fillInParts_givesTheDocumentOfOneFill_data();
    void fillInParts_givesTheDocumentOfOneFill();
    void fillInTurns_operationSeesWholeList_data();
    void fillInTurns_operationSeesWholeList();
    void fillInTurns_busyCursorUntilItEnds_data();
    void fillInTurns_busyCursorUntilItEnds();

private:
    support::PerTest<support::WorkingDirectory> directory_;
};

namespace {

int PagesPrinted(TRichEdit &box)
{
    const QString pdf = QStringLiteral("job.pdf");
    printing::PrintToFile(pdf);
    box.Print(QStringLiteral("job"));
    printing::PrintToFile({});
    const std::optional<support::PdfContent> printed = support::ReadPdf(pdf);
    return printed ? printed->pages : 0;
}

}   // namespace

void RichEditFillTest::init() { QVERIFY(directory_.renew()); }

void RichEditFillTest::fillInParts_givesTheDocumentOfOneFill_data()
{
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("lines");
    QTest::newRow("a character at a time") << 1 << 40;
    QTest::newRow("parts of 7") << 7 << 40;
    QTest::newRow("parts of 100") << 100 << 40;
    // Long enough that the filler lets go of the text it has filled in.
    QTest::newRow("parts of 100,000") << 100'000 << 60'000;
}

void RichEditFillTest::fillInParts_givesTheDocumentOfOneFill()
{
    QFETCH(int, characters);
    QFETCH(int, lines);
    // Runs that go on over line ends and parts, and characters Qt reserves.
    const codec::CharacterFormat bold = support::Bold();
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

void RichEditFillTest::fillInTurns_operationSeesWholeList_data()
{
    QTest::addColumn<QString>("operation");
    for (const char *operation : { "Count", "Strings", "Add", "Delete", "Text", "CaretPos", "Document",
             "SaveToFile", "Print", "show", "key press", "focus" })
        QTest::newRow(operation) << QString::fromLatin1(operation);
}

void RichEditFillTest::fillInTurns_operationSeesWholeList()
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

void RichEditFillTest::fillInTurns_busyCursorUntilItEnds_data()
{
    QTest::addColumn<QString>("end");
    for (const char *end :
        { "by itself", "by itself, in a window on screen", "Clear", "another load", "the box destroyed" })
        QTest::newRow(end) << QString::fromLatin1(end);
}

void RichEditFillTest::fillInTurns_busyCursorUntilItEnds()
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

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    RichEditFillTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_richeditfill.moc"
