#pragma once

#include <QByteArray>
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

}   // namespace literals
