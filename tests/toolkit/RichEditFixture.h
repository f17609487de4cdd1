#pragma once

#include "support/TestFiles.h"
#include "vcl/TRichEdit.h"

#include <QStringList>
#include <QTest>
#include <QTextBlock>

// What the tests of the rich-text box share: a formatted file, the format at a place
// in the box, and a list long enough to fill in turns.
namespace boxfixture {

// Bold, italic, underlined and struck words, another font and size, a text colour and
// a background colour.
inline const char formattedRtf[]
    = "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 MS Sans "
      "Serif;}{\\f1\\fnil\\fcharset238 Courier New;}}"
      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
      "\\uc1\\pard\\plain\\f0\\fs16 Pop  {\\b Ana}  555\\par"
      "{\\i Ionescu}  {\\ul Maria}  {\\strike 0722}\\par"
      "{\\f1\\fs28 mono} {\\cf1 red} {\\highlight2 blue}\\par}";

inline QTextCharFormat formatAt(const TRichEdit &box, int line, int column)
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
inline QStringList ManyLines()
{
    QStringList lines;
    for (int i = 0; i < 3000; ++i)
        lines << QStringLiteral("Pop  Ana  %1").arg(i);
    return lines;
}

inline void LoadInTurns(TRichEdit &box, const QStringList &lines)
{
    QVERIFY(support::WriteFile(QStringLiteral("baza.txt"), lines.join(QLatin1Char('\n')).toUtf8()));
    box.Lines->LoadFromFile(QStringLiteral("baza.txt"));
    QVERIFY(box.Filling());
}

}   // namespace boxfixture
