#pragma once

#include "codec/CodePages.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <cstddef>

// Test data written as literals.
namespace literals {

// A byte string literal with its embedded NULs.
template <std::size_t size> QByteArray bytes(const char (&literal)[size])
{
    return QByteArray(literal, qsizetype(size) - 1);
}

// UTF-16 text, so that tables can hold any character as written.
inline QString u(const char16_t *text) { return QString::fromUtf16(text); }

// Every letter of Romanian with a diacritic, the comma-below forms and the cedilla ones
// that older files use for them.
inline QStringList romanianLetters()
{
    return { u"ă"_qs, u"â"_qs, u"î"_qs, u"ș"_qs, u"ț"_qs, u"Ă"_qs, u"Â"_qs, u"Î"_qs, u"Ș"_qs, u"Ț"_qs,
        u"ş"_qs, u"ţ"_qs, u"Ş"_qs, u"Ţ"_qs };
}

// Pieces of lines: words and numbers, runs of blanks and tabs, what the Rich Text
// Format writes escaped, the Romanian letters and a character beyond the basic plane.
inline QStringList linePieces()
{
    return QStringList { u"Pop"_qs, u"Ana"_qs, u"0722"_qs, u"555-12"_qs, u" "_qs, u"  "_qs, u"   "_qs,
        u"\t"_qs, u"\\"_qs, u"{"_qs, u"}"_qs, u"\\par"_qs }
    + romanianLetters() + QStringList { u"?"_qs, u"\U0001F4DE"_qs };
}

// Text as a single-byte code page spells it; a character the page lacks becomes '?'.
inline QByteArray inPage(int codePage, const QString &text)
{
    const codec::CodePage page = codec::CodePage::forNumber(codePage);
    QHash<char16_t, char> byteOf;
    for (int b = 0x80; b < 0x100; ++b) {
        const char byte = char(b);
        QChar c;
        page.decode(QByteArrayView(&byte, 1), &c);
        byteOf.insert(c.unicode(), byte);
    }
    QByteArray bytes;
    for (const QChar c : text)
        bytes.append(c.unicode() < 0x80 ? char(c.unicode()) : byteOf.value(c.unicode(), '?'));
    return bytes;
}

}   // namespace literals
