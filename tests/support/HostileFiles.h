#pragma once

#include <QByteArray>
#include <QString>

#include <algorithm>

// Files that a reader takes in its stride but that load Qt's text document, layout
// and font cache with work out of proportion to their size. Shared by the hostile-load
// tests and the benchmarks that measure them.
namespace hostile {

// One paragraph of `count` formatted pieces: {\b x}y repeated.
inline QByteArray formattedPieces(int count)
{
    return "{\\rtf1 " + QByteArray("{\\b x}y").repeated(count) + "\\par}";
}

// `count` words in a font size of their own each, `perParagraph` to a paragraph.
inline QByteArray distinctSizes(int count, int perParagraph)
{
    QByteArray rtf = "{\\rtf1 ";
    for (int i = 0; i < count; ++i) {
        rtf += "{\\fs" + QByteArray::number(2 + i) + " x} ";
        if ((i + 1) % perParagraph == 0)
            rtf += "\\par ";
    }
    return rtf + "\\par}";
}

// `count` paragraphs, each in a font family of its own.
inline QByteArray distinctFamilies(int count)
{
    QByteArray rtf = "{\\rtf1{\\fonttbl";
    for (int i = 0; i < count; ++i)
        rtf += "{\\f" + QByteArray::number(i) + " F" + QByteArray::number(i) + ";}";
    rtf += "}";
    for (int i = 0; i < count; ++i)
        rtf += "{\\f" + QByteArray::number(i) + " x}\\par ";
    return rtf + "}";
}

// `count` paragraphs, each in a colour of its own.
inline QByteArray distinctColours(int count)
{
    QByteArray rtf = "{\\rtf1{\\colortbl;";
    for (int i = 1; i <= count; ++i) {
        rtf += "\\red" + QByteArray::number(i & 0xFF) + "\\green" + QByteArray::number((i >> 8) & 0xFF)
            + "\\blue" + QByteArray::number((i >> 16) & 0xFF) + ";";
    }
    rtf += "}";
    for (int i = 1; i <= count; ++i)
        rtf += "{\\cf" + QByteArray::number(i) + " x}\\par ";
    return rtf + "}";
}

// A plain file of one line of `length` letters and no blank.
inline QByteArray longWord(int length) { return QByteArray(length, 'x') + "\n"; }

// A plain file of one line of words: "ab " repeated to `length`.
inline QByteArray longLineOfWords(int length) { return QByteArray("ab ").repeated(length / 3) + "\n"; }

// `count` lines of a bold letter and a plain one: one run a line.
inline QByteArray formattedLines(int count)
{
    return "{\\rtf1 " + QByteArray("{\\b x}y\\par ").repeated(count) + "}";
}

// `count` lines of two plain letters, as formattedLines but for the runs.
inline QByteArray plainLines(int count) { return "{\\rtf1 " + QByteArray("xy\\par ").repeated(count) + "}"; }

// A plain file of `count` empty lines.
inline QByteArray emptyLines(int count) { return QByteArray(count, '\n'); }

// A document of `formats` runs in as many distinct formats: with `families`, each run
// in a font of its own; otherwise each in a colour of its own (at most 25,000, below
// the colour table's cap), bold or italic or both beyond that.
inline QByteArray manyFormats(int formats, bool families)
{
    const int colours = std::min(formats, 25'000);
    QByteArray rtf = QByteArrayLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}");
    for (int i = 1; families && i <= formats; ++i)
        rtf += "{\\f" + QByteArray::number(i) + " Family " + QByteArray::number(i) + ";}";
    rtf += "}";
    if (!families) {
        rtf += "{\\colortbl;";
        for (int c = 0; c < colours; ++c) {
            rtf += "\\red" + QByteArray::number(c & 0xFF) + "\\green" + QByteArray::number(c >> 8)
                + "\\blue0;";
        }
        rtf += "}";
    }
    for (int i = 0; i < formats; ++i) {
        if (families) {
            rtf += "{\\f" + QByteArray::number(i + 1) + " ab}";
        } else {
            const int style = i / colours;
            rtf += "{\\cf" + QByteArray::number(i % colours + 1) + (style & 1 ? "\\b" : "")
                + (style & 2 ? "\\i" : "") + " ab}";
        }
        if (i % 10 == 9)
            rtf += "\\par\r\n";
    }
    return rtf + "\\par}";
}

}   // namespace hostile
