// Reads every NAME.txt of a folder as the plain text codec reads it, and as uchardet
// and ICU's charset detector would have it read, and says for each reader whether the
// lines come out as NAME.expected holds them. ICU's answer is decoded by ICU's own
// converters, uchardet's by iconv, whose names it gives. A file is named
// SHAPE.ENCODING.txt; in the single-byte pages the cedilla and comma-below forms of s
// and t count as one letter. Prints one line per file and reader:
//
//   file <TAB> reader <TAB> answer <TAB> ok|wrong
//
// usage: measure_encodings [--label NAME] [--codec-only] FOLDER
#include "codec/PlainText.h"
#include "codec/RichDocument.h"
// Codecs before the detector have no word for the encoding they read.
#if __has_include("codec/TextEncoding.h")
#include "codec/TextEncoding.h"
#define CARTE_CODEC_NAMES_ENCODING
#endif

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <cstdio>
#include <vector>

#ifdef CARTE_WITH_ICU
#include <unicode/ucnv.h>
#include <unicode/ucsdet.h>
#endif
#ifdef CARTE_WITH_UCHARDET
#include <iconv.h>
#include <uchardet.h>
#endif

namespace {

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool SingleBytePage(const QString &fileName)
{
    return !fileName.section(QLatin1Char('.'), -2, -2).startsWith(QLatin1String("utf-"));
}

QStringList Fold(QStringList lines, bool singleByte)
{
    if (!singleByte)
        return lines;
    for (QString &line : lines) {
        line.replace(QChar(0x015E), QChar(0x0218)).replace(QChar(0x015F), QChar(0x0219));
        line.replace(QChar(0x0162), QChar(0x021A)).replace(QChar(0x0163), QChar(0x021B));
    }
    return lines;
}

// The lines of decoded text: a line ends in CR LF, LF or CR; a byte order mark is not text.
QStringList Lines(QString text)
{
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

struct Answer {
    QString name;
    QStringList lines;
};

#ifdef CARTE_WITH_ICU
// The bytes decoded by ICU's converter of that name; no lines when ICU has none.
QStringList DecodeWithIcu(const QByteArray &bytes, const QByteArray &name)
{
    UErrorCode status = U_ZERO_ERROR;
    UConverter *converter = ucnv_open(name.constData(), &status);
    if (U_FAILURE(status))
        return { QStringLiteral("<no ICU converter>") };
    std::vector<UChar> buffer(std::size_t(bytes.size()) * 2 + 16);
    const int32_t length = ucnv_toUChars(
        converter, buffer.data(), int32_t(buffer.size()), bytes.constData(), int32_t(bytes.size()), &status);
    ucnv_close(converter);
    if (U_FAILURE(status))
        return { QStringLiteral("<ICU could not convert>") };
    return Lines(QString(reinterpret_cast<const QChar *>(buffer.data()), length));
}

Answer Icu(const QByteArray &bytes)
{
    UErrorCode status = U_ZERO_ERROR;
    UCharsetDetector *detector = ucsdet_open(&status);
    ucsdet_setText(detector, bytes.constData(), int32_t(bytes.size()), &status);
    const UCharsetMatch *match = ucsdet_detect(detector, &status);
    const QByteArray name
        = match && U_SUCCESS(status) ? QByteArray(ucsdet_getName(match, &status)) : QByteArray();
    ucsdet_close(detector);
    if (name.isEmpty())
        return { QStringLiteral("(none)"), {} };
    return { QString::fromLatin1(name), DecodeWithIcu(bytes, name) };
}
#endif

#ifdef CARTE_WITH_UCHARDET
// The bytes decoded by iconv from that encoding; no lines when iconv has none.
QStringList DecodeWithIconv(const QByteArray &bytes, const QByteArray &name)
{
    iconv_t converter = iconv_open("UTF-16LE", name.constData());
    if (converter == iconv_t(-1))
        return { QStringLiteral("<no iconv converter>") };
    QByteArray input = bytes;
    QByteArray output(bytes.size() * 4 + 16, Qt::Uninitialized);
    char *in = input.data();
    char *out = output.data();
    std::size_t inLeft = std::size_t(input.size());
    std::size_t outLeft = std::size_t(output.size());
    const std::size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    if (converted == std::size_t(-1))
        return { QStringLiteral("<iconv could not convert>") };
    const qsizetype units = (output.size() - qsizetype(outLeft)) / 2;
    return Lines(QString(reinterpret_cast<const QChar *>(output.constData()), units));
}

Answer Uchardet(const QByteArray &bytes)
{
    uchardet_t detector = uchardet_new();
    uchardet_handle_data(detector, bytes.constData(), std::size_t(bytes.size()));
    uchardet_data_end(detector);
    const QByteArray name(uchardet_get_charset(detector));
    uchardet_delete(detector);
    if (name.isEmpty())
        return { QStringLiteral("(none)"), {} };
    return { QString::fromLatin1(name), DecodeWithIconv(bytes, name) };
}
#endif

}   // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    QString label = QStringLiteral("codec");
    bool codecOnly = false;
    while (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--"))) {
        const QString option = arguments.takeFirst();
        if (option == QLatin1String("--label") && !arguments.isEmpty())
            label = arguments.takeFirst();
        else if (option == QLatin1String("--codec-only"))
            codecOnly = true;
    }
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: measure_encodings [--label NAME] [--codec-only] FOLDER\n");
        return 2;
    }
    const QDir folder(arguments.first());
    const QStringList files = folder.entryList({ QStringLiteral("*.txt") }, QDir::Files, QDir::Name);
    if (files.isEmpty()) {
        std::fprintf(stderr, "no *.txt files in %s\n", qPrintable(folder.path()));
        return 1;
    }
    const auto print = [](const QString &file, const QString &reader, const QString &answer, bool ok) {
        std::printf("%s\t%s\t%s\t%s\n", qPrintable(file), qPrintable(reader), qPrintable(answer),
            ok ? "ok" : "wrong");
    };
    for (const QString &file : files) {
        const QByteArray bytes = ReadAll(folder.filePath(file));
        QString expectedName = file;
        expectedName.replace(expectedName.size() - 4, 4, QStringLiteral(".expected"));
        const bool singleByte = SingleBytePage(file);
        const QStringList expected
            = Fold(Lines(QString::fromUtf8(ReadAll(folder.filePath(expectedName)))), singleByte);
#ifdef CARTE_CODEC_NAMES_ENCODING
        codec::TextEncoding encoding;
        const QStringList ours = Fold(codec::ReadPlainText(bytes, &encoding).lines(), singleByte);
        const QString answer = QString::fromLatin1(codec::EncodingName(encoding));
#else
        const QStringList ours = Fold(codec::ReadPlainText(bytes).lines(), singleByte);
        const QString answer = QStringLiteral("-");
#endif
        print(file, label, answer, ours == expected);
        if (codecOnly)
            continue;
#ifdef CARTE_WITH_UCHARDET
        const Answer uchardet = Uchardet(bytes);
        print(file, QStringLiteral("uchardet"), uchardet.name, Fold(uchardet.lines, singleByte) == expected);
#endif
#ifdef CARTE_WITH_ICU
        const Answer icu = Icu(bytes);
        print(file, QStringLiteral("ICU"), icu.name, Fold(icu.lines, singleByte) == expected);
#endif
    }
    return 0;
}
