#pragma once

#include <QByteArray>
#include <QString>

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

}   // namespace literals
