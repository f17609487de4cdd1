#include "vcl/StdCtrls.h"
#include "vcl/TApplication.h"
#include "vcl/TRichEdit.h"

#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <iterator>
#include <memory>

using namespace Qt::StringLiterals;

// The program's one translation file holds every text the code shows, each with a
// finished translation, and the program shows that translation.
class TranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void everyText_hasFinishedTranslation();
    void everyTextOfTheCode_isInTheFile();
    void contextMenu_speaksRomanian_data();
    void contextMenu_speaksRomanian();
};

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    QString state;   // lupdate's type: empty when finished
};

QList<Message> ReadMessages(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Message> messages;
    QString context;
    QXmlStreamReader xml(&file);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement())
            continue;
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"message") {
            messages.append({ context, {}, {}, {} });
        } else if (xml.name() == u"source" && !messages.isEmpty()) {
            messages.last().source = xml.readElementText();
        } else if (xml.name() == u"translation" && !messages.isEmpty()) {
            messages.last().state = xml.attributes().value(u"type"_s).toString();
            messages.last().translation = xml.readElementText();
        }
    }
    return messages;
}

QString Describe(const QList<Message> &messages)
{
    QStringList lines;
    for (const Message &message : messages)
        lines.append(u"%1: \"%2\" %3"_s.arg(message.context, message.source, message.state));
    return lines.join(u'\n');
}

}   // namespace

void TranslationsTest::everyText_hasFinishedTranslation()
{
    const QList<Message> messages = ReadMessages(QStringLiteral(CARTE_TS_FILE));
    QVERIFY(!messages.isEmpty());
    QList<Message> unfinished;
    for (const Message &message : messages) {
        if (!message.state.isEmpty() || message.translation.isEmpty())
            unfinished.append(message);
    }
    QVERIFY2(unfinished.isEmpty(),
        qPrintable(u"texts without a finished translation:\n"_s + Describe(unfinished)));
}

// lupdate on a copy finds in the code no text that the file lacks, and keeps every text
// the file has.
void TranslationsTest::everyTextOfTheCode_isInTheFile()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString copy = work.filePath(u"copy.ts"_s);
    QVERIFY(QFile::copy(QStringLiteral(CARTE_TS_FILE), copy));
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    QProcess lupdate;
    lupdate.start(QStringLiteral(CARTE_LUPDATE),
        { u"@"_s + QStringLiteral(CARTE_TRANSLATED_SOURCES_LIST), u"-ts"_s, copy, u"-no-obsolete"_s,
            u"-locations"_s, u"none"_s, u"-silent"_s });
    QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
    QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

    const auto keysOf = [](const QList<Message> &messages) {
        QSet<QPair<QString, QString>> keys;
        for (const Message &message : messages)
            keys.insert({ message.context, message.source });
        return keys;
    };
    const QList<Message> inCode = ReadMessages(copy);
    const QList<Message> inFile = ReadMessages(QStringLiteral(CARTE_TS_FILE));
    const auto missingFrom = [&keysOf](const QList<Message> &messages, const QList<Message> &other) {
        const QSet<QPair<QString, QString>> keys = keysOf(other);
        QList<Message> missing;
        std::copy_if(
            messages.begin(), messages.end(), std::back_inserter(missing), [&keys](const Message &message) {
                return !keys.contains({ message.context, message.source });
            });
        return missing;
    };
    const QList<Message> added = missingFrom(inCode, inFile);
    QVERIFY2(added.isEmpty(), qPrintable(u"texts of the code missing from the file:\n"_s + Describe(added)));
    const QList<Message> gone = missingFrom(inFile, inCode);
    QVERIFY2(gone.isEmpty(), qPrintable(u"texts the code no longer has:\n"_s + Describe(gone)));
}

void TranslationsTest::contextMenu_speaksRomanian_data()
{
    QTest::addColumn<bool>("isList");
    QTest::addColumn<QStringList>("items");
    const QStringList common { u"&Anulare"_s, u"&Refacere"_s, u"&Decupare"_s, u"&Copiere"_s, u"&Lipire"_s,
        u"&Stergere"_s, u"Selectare &totala"_s };
    QTest::newRow("edit field") << false << common;
    QTest::newRow("list") << true << common;
}

// Qt's own menus, which Debian has no Romanian for, come from the program's file.
void TranslationsTest::contextMenu_speaksRomanian()
{
    QFETCH(bool, isList);
    QFETCH(QStringList, items);
    TEdit field;
    TRichEdit list;
    field.setText(u"Pop"_s);
    list.Lines->Add(u"Pop  Ana  555"_s);
    const std::unique_ptr<QMenu> menu(
        isList ? list.createStandardContextMenu() : field.createStandardContextMenu());
    QStringList shown;
    for (const QAction *action : menu->actions()) {
        if (!action->isSeparator())
            shown.append(action->text().section(u'\t', 0, 0));
    }
    QCOMPARE(shown, items);
}

int main(int argc, char *argv[])
{
    TApplication application(argc, argv);
    TranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_translations.moc"
