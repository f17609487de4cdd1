#include "RichEditFixture.h"
#include "codec/RichDocument.h"
#include "phonebook/PhoneBook.h"
#include "richtext/Clipboard.h"
#include "support/TestFiles.h"
#include "system/Exception.h"
#include "vcl/TRichEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

using namespace Qt::StringLiterals;
using namespace boxfixture;

// Copy and paste in the box: the text as written, formats kept, one undo step under the
// busy cursor.
class RichEditPasteTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void pastedHtml_keepsFormattingThroughSaveAndLoad();
    void pastedHtml_dropsPicturesAndKeepsLines();
    void paste_givesTheTextAsWritten_data();
    void paste_givesTheTextAsWritten();
    void copyAndPaste_keepsTheListWhole_data();
    void copyAndPaste_keepsTheListWhole();
    void paste_isOneUndoStepUnderBusyCursor_data();
    void paste_isOneUndoStepUnderBusyCursor();

private:
    support::PerTest<support::WorkingDirectory> directory_;
};

namespace {

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

}   // namespace

void RichEditPasteTest::init() { QVERIFY(directory_.renew()); }

void RichEditPasteTest::pastedHtml_keepsFormattingThroughSaveAndLoad()
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

void RichEditPasteTest::pastedHtml_dropsPicturesAndKeepsLines()
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

void RichEditPasteTest::paste_givesTheTextAsWritten_data()
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

void RichEditPasteTest::paste_givesTheTextAsWritten()
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

void RichEditPasteTest::copyAndPaste_keepsTheListWhole_data()
{
    QTest::addColumn<bool>("anotherRun");
    QTest::newRow("in this run") << false;
    QTest::newRow("into another run") << true;
}

void RichEditPasteTest::copyAndPaste_keepsTheListWhole()
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

void RichEditPasteTest::paste_isOneUndoStepUnderBusyCursor_data()
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

void RichEditPasteTest::paste_isOneUndoStepUnderBusyCursor()
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
    RichEditPasteTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_richeditpaste.moc"
