#include "Literals.h"
#include "codec/rtf/Reader.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "support/Formats.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QXmlStreamReader>

#include <map>

using namespace codec;

Q_DECLARE_METATYPE(codec::RichDocument)

namespace {

const QStringList pieces = literals::linePieces();

enum class Plane { Any, BasicOnly };

QStringList randomLines(QRandomGenerator &random, Plane plane)
{
    QStringList lines;
    const int count = 1 + random.bounded(10);
    for (int i = 0; i < count; ++i) {
        QString line;
        const int length = random.bounded(4) == 0 ? 0 : 1 + random.bounded(8);
        while (line.size() < length) {
            const QString &piece = pieces.at(random.bounded(pieces.size()));
            if (plane == Plane::Any || !piece.at(0).isSurrogate())
                line += piece;
        }
        lines << line;
    }
    return lines;
}

RichDocument randomFormattedDocument(QRandomGenerator &random)
{
    static const QStringList families = { QString(), u"Liberation Serif"_qs, u"DejaVu Sans Mono"_qs };
    RichDocument document;
    for (const QString &line : randomLines(random, Plane::BasicOnly)) {
        for (const QString &word : line.split(u' ')) {
            CharacterFormat format = support::RandomFormat(random, families, { 0, 20, 24, 36 });
            if (random.bounded(2) == 0)
                format.foreground
                    = Rgb { std::uint8_t(random.bounded(256)), 0, std::uint8_t(random.bounded(256)) };
            if (random.bounded(2) == 0)
                format.background = Rgb { 0, std::uint8_t(random.bounded(256)), 255 };
            document.append(word, format);
            document.append(u" ", {});
        }
        document.endParagraph();
    }
    return document;
}

QString xmlText(const QString &line)
{
    // XML collapses blanks, so every run of them is spelled out.
    QString result;
    for (qsizetype i = 0; i < line.size();) {
        qsizetype end = i;
        while (end < line.size() && line.at(end) == u' ')
            ++end;
        if (end > i) {
            result += u"<text:s text:c=\"%1\"/>"_qs.arg(end - i);
            i = end;
        } else if (line.at(i) == u'\t') {
            result += u"<text:tab/>"_qs;
            ++i;
        } else {
            result += QString(line.at(i)).toHtmlEscaped();
            ++i;
        }
    }
    return result;
}

// Flat OpenDocument text: one paragraph per line, nothing else.
QByteArray flatOpenDocument(const QStringList &lines)
{
    QString xml
        = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
          "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" office:version=\"1.3\" "
          "office:mimetype=\"application/vnd.oasis.opendocument.text\"><office:body><office:text>\n"_qs;
    for (const QString &line : lines)
        xml += u"<text:p>"_qs + xmlText(line) + u"</text:p>\n"_qs;
    xml += u"</office:text></office:body></office:document>\n"_qs;
    return xml.toUtf8();
}

std::optional<Rgb> parseColour(QStringView value)
{
    if (value.size() != 7 || !value.startsWith(u'#'))
        return std::nullopt;
    const uint rgb = value.mid(1).toUInt(nullptr, 16);
    return Rgb { std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb) };
}

// Rebuilds our model from LibreOffice's flat OpenDocument, mapping its character
// properties back onto ours, with the writer's defaults read as "default".
RichDocument documentFromFlatOpenDocument(const QByteArray &bytes, const RtfWriterOptions &options)
{
    std::map<QString, QString> fontFamilies;
    std::map<QString, CharacterFormat> styles;
    RichDocument document;
    std::vector<CharacterFormat> open;
    QString styleName;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd()) {
        xml.readNext();
        const QXmlStreamAttributes attributes = xml.attributes();
        const QStringView name = xml.qualifiedName();
        if (xml.isStartElement() && name == u"style:font-face") {
            fontFamilies[attributes.value(QLatin1String("style:name")).toString()]
                = attributes.value(QLatin1String("svg:font-family")).toString().remove(u'\'');
        } else if (xml.isStartElement() && name == u"style:style") {
            styleName = attributes.value(QLatin1String("style:name")).toString();
        } else if (xml.isEndElement() && name == u"style:style") {
            styleName.clear();
        } else if (xml.isStartElement() && name == u"style:text-properties" && !styleName.isEmpty()) {
            CharacterFormat &format = styles[styleName];
            format.bold = attributes.value(QLatin1String("fo:font-weight")) == u"bold";
            format.italic = attributes.value(QLatin1String("fo:font-style")) == u"italic";
            format.underline = attributes.hasAttribute(QLatin1String("style:text-underline-style"))
                && attributes.value(QLatin1String("style:text-underline-style")) != u"none";
            format.strikeOut = attributes.hasAttribute(QLatin1String("style:text-line-through-style"))
                && attributes.value(QLatin1String("style:text-line-through-style")) != u"none";
            const QString family
                = fontFamilies[attributes.value(QLatin1String("style:font-name")).toString()];
            format.fontFamily = family == options.defaultFontFamily ? QString() : family;
            const QStringView size = attributes.value(QLatin1String("fo:font-size"));
            const int halfPoints = size.endsWith(u"pt") ? qRound(size.chopped(2).toDouble() * 2) : 0;
            format.halfPoints = halfPoints == options.defaultHalfPoints ? 0 : halfPoints;
            format.foreground = parseColour(attributes.value(QLatin1String("fo:color")));
            format.background = parseColour(attributes.value(QLatin1String("fo:background-color")));
        } else if (xml.isStartElement() && (name == u"text:p" || name == u"text:span")) {
            const CharacterFormat base = open.empty() ? CharacterFormat {} : open.back();
            const auto style = styles.find(attributes.value(QLatin1String("text:style-name")).toString());
            open.push_back(style != styles.end() ? style->second : base);
        } else if (xml.isEndElement() && (name == u"text:p" || name == u"text:span")) {
            open.pop_back();
            if (name == u"text:p")
                document.endParagraph();
        } else if (open.empty()) {
            continue;
        } else if (xml.isCharacters()) {
            document.append(xml.text(), open.back());
        } else if (xml.isStartElement() && name == u"text:s") {
            const int count = attributes.hasAttribute(QLatin1String("text:c"))
                ? attributes.value(QLatin1String("text:c")).toInt()
                : 1;
            document.append(QString(count, u' '), open.back());
        } else if (xml.isStartElement() && name == u"text:tab") {
            document.append(u"\t", open.back());
        } else if (xml.isStartElement() && name == u"text:line-break") {
            document.append(u"\u2028", open.back());
        }
    }
    return document;
}

QStringList words(const QString &text)
{
    static const QRegularExpression blanks(u"\\s+"_qs);
    return text.split(blanks, Qt::SkipEmptyParts);
}

QString readUtf8(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return text.remove(u'\r');
}

constexpr int documentCount = 40;

}   // namespace

class TestInterop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void libreOffice_readsOurLists_asSameLines_data();
    void libreOffice_readsOurLists_asSameLines();
    void libreOffice_readsOurFormatting_asSameFormatting_data();
    void libreOffice_readsOurFormatting_asSameFormatting();
    void pandoc_readsOurLists_asSameWords_data();
    void pandoc_readsOurLists_asSameWords();
    void read_libreOfficeRtf_givesSameLines_data();
    void read_libreOfficeRtf_givesSameLines();
    void read_pandocRtf_givesSameLines_data();
    void read_pandocRtf_givesSameLines();

private:
    // Converts every file with one start of LibreOffice; it takes seconds to start.
    bool convertWithLibreOffice(
        const QString &format, const QStringList &files, const QString &outputDirectory);
    QString runPandoc(const QStringList &arguments, const QByteArray &input);
    void requireLibreOffice() const;
    void requirePandoc() const;

    QTemporaryDir directory_;
    QString soffice_;
    QString pandoc_;
    std::vector<QStringList> lists_;
    std::vector<QStringList> basicPlaneLists_;
    std::vector<RichDocument> formatted_;
    std::optional<bool> listsConverted_;
    std::optional<bool> formattedConverted_;
    std::optional<bool> openDocumentsConverted_;
};

void TestInterop::initTestCase()
{
    QVERIFY(directory_.isValid());
    soffice_ = QStandardPaths::findExecutable(u"soffice"_qs);
    pandoc_ = QStandardPaths::findExecutable(u"pandoc"_qs);
    QRandomGenerator random(7319);
    for (int i = 0; i < documentCount; ++i) {
        lists_.push_back(randomLines(random, Plane::Any));
        basicPlaneLists_.push_back(randomLines(random, Plane::BasicOnly));
        formatted_.push_back(randomFormattedDocument(random));
    }
}

void TestInterop::requireLibreOffice() const
{
    if (soffice_.isEmpty())
        QFAIL("LibreOffice (soffice) is not installed: tools/install-dependencies.sh test");
}

void TestInterop::requirePandoc() const
{
    if (pandoc_.isEmpty())
        QFAIL("pandoc is not installed: tools/install-dependencies.sh test");
}

bool TestInterop::convertWithLibreOffice(
    const QString &format, const QStringList &files, const QString &outputDirectory)
{
    QProcess process;
    const QString profile = QUrl::fromLocalFile(directory_.filePath(u"profile"_qs)).toString();
    process.start(soffice_,
        QStringList { u"-env:UserInstallation="_qs + profile, u"--headless"_qs, u"--convert-to"_qs, format,
            u"--outdir"_qs, outputDirectory }
            << files);
    if (!process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QString TestInterop::runPandoc(const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    process.start(pandoc_, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return u"<pandoc failed: %1>"_qs.arg(QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

void TestInterop::libreOffice_readsOurLists_asSameLines_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < documentCount; ++i)
        QTest::addRow("list %d", i) << i;
}

void TestInterop::libreOffice_readsOurLists_asSameLines()
{
    requireLibreOffice();
    QFETCH(int, index);
    const QDir input(directory_.filePath(u"lists"_qs));
    if (!listsConverted_) {
        QDir().mkpath(input.path());
        QStringList files;
        for (int i = 0; i < documentCount; ++i) {
            files << input.filePath(u"list%1.rtf"_qs.arg(i));
            QVERIFY(support::WriteFile(
                files.last(), WriteRtf(support::DocumentOf(lists_[i]), phonebook::SaveFormat())));
        }
        listsConverted_ = convertWithLibreOffice(u"txt:Text"_qs, files, input.filePath(u"out"_qs));
    }
    QVERIFY2(*listsConverted_, "soffice failed to convert the lists");
    const QString text = readUtf8(input.filePath(u"out/list%1.txt"_qs.arg(index)));
    // LibreOffice ends every paragraph, the last one too, with a line end.
    QCOMPARE(text, lists_[index].join(u'\n') + u'\n');
}

void TestInterop::libreOffice_readsOurFormatting_asSameFormatting_data()
{
    libreOffice_readsOurLists_asSameLines_data();
}

void TestInterop::libreOffice_readsOurFormatting_asSameFormatting()
{
    requireLibreOffice();
    QFETCH(int, index);
    const QDir input(directory_.filePath(u"formatted"_qs));
    if (!formattedConverted_) {
        QDir().mkpath(input.path());
        QStringList files;
        for (int i = 0; i < documentCount; ++i) {
            files << input.filePath(u"formatted%1.rtf"_qs.arg(i));
            QVERIFY(support::WriteFile(files.last(), WriteRtf(formatted_[i], phonebook::SaveFormat())));
        }
        formattedConverted_ = convertWithLibreOffice(u"fodt"_qs, files, input.filePath(u"out"_qs));
    }
    QVERIFY2(*formattedConverted_, "soffice failed to convert the formatted documents");
    QFile converted(input.filePath(u"out/formatted%1.fodt"_qs.arg(index)));
    QVERIFY(converted.open(QIODevice::ReadOnly));
    const RichDocument shown = documentFromFlatOpenDocument(converted.readAll(), phonebook::SaveFormat());
    QCOMPARE(shown.text, formatted_[index].text);
    QVERIFY2(shown == formatted_[index],
        qPrintable(QString::fromUtf8(WriteRtf(formatted_[index], phonebook::SaveFormat()))));
}

void TestInterop::pandoc_readsOurLists_asSameWords_data() { libreOffice_readsOurLists_asSameLines_data(); }

void TestInterop::pandoc_readsOurLists_asSameWords()
{
    requirePandoc();
    QFETCH(int, index);
    // pandoc keeps words but not blanks or empty paragraphs; it also cannot pair the
    // two \uN of a character beyond the basic plane, so those are left out here.
    const RichDocument document = support::DocumentOf(basicPlaneLists_[index]);
    const QString text = runPandoc({ u"-f"_qs, u"rtf"_qs, u"-t"_qs, u"plain"_qs, u"--wrap=none"_qs },
        WriteRtf(document, phonebook::SaveFormat()));
    QCOMPARE(words(text), words(document.text));
}

void TestInterop::read_libreOfficeRtf_givesSameLines_data() { libreOffice_readsOurLists_asSameLines_data(); }

void TestInterop::read_libreOfficeRtf_givesSameLines()
{
    requireLibreOffice();
    QFETCH(int, index);
    const QDir input(directory_.filePath(u"opendocuments"_qs));
    if (!openDocumentsConverted_) {
        QDir().mkpath(input.path());
        QStringList files;
        for (int i = 0; i < documentCount; ++i) {
            files << input.filePath(u"lines%1.fodt"_qs.arg(i));
            QVERIFY(support::WriteFile(files.last(), flatOpenDocument(lists_[i])));
        }
        openDocumentsConverted_ = convertWithLibreOffice(u"rtf"_qs, files, input.filePath(u"out"_qs));
    }
    QVERIFY2(*openDocumentsConverted_, "soffice failed to convert the documents to RTF");
    QFile converted(input.filePath(u"out/lines%1.rtf"_qs.arg(index)));
    QVERIFY(converted.open(QIODevice::ReadOnly));
    QCOMPARE(ReadRtf(converted.readAll()).lines(), lists_[index]);
}

void TestInterop::read_pandocRtf_givesSameLines_data() { libreOffice_readsOurLists_asSameLines_data(); }

void TestInterop::read_pandocRtf_givesSameLines()
{
    requirePandoc();
    QFETCH(int, index);
    // pandoc's own document model keeps each line whole as one string.
    QString json = u"{\"pandoc-api-version\":[1,22,2,1],\"meta\":{},\"blocks\":["_qs;
    for (const QString &line : basicPlaneLists_[index]) {
        QString escaped = line;
        escaped.replace(u"\\"_qs, u"\\\\"_qs).replace(u"\""_qs, u"\\\""_qs).replace(u"\t"_qs, u"\\t"_qs);
        json += line.isEmpty() ? u"{\"t\":\"Para\",\"c\":[]},"_qs
                               : u"{\"t\":\"Para\",\"c\":[{\"t\":\"Str\",\"c\":\"%1\"}]},"_qs.arg(escaped);
    }
    json.chop(1);
    json += u"]}"_qs;
    const QString rtf = runPandoc({ u"-f"_qs, u"json"_qs, u"-t"_qs, u"rtf"_qs, u"-s"_qs }, json.toUtf8());
    QCOMPARE(ReadRtf(rtf.toUtf8()).lines(), basicPlaneLists_[index]);
}

QTEST_GUILESS_MAIN(TestInterop)
#include "tst_interop.moc"
