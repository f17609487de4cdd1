#pragma once

#include "codec/rtf/Keywords.h"

#include <QByteArrayView>
#include <QChar>

#include <algorithm>
#include <cstdint>

namespace codec::rtf {

struct Token {
    enum Type : std::uint8_t { None, Word, Symbol, Hex, Binary };

    // A control word as the reader would have read it, for the bytes that stand for one.
    static Token word(Keyword keyword)
    {
        Token token;
        token.type = Word;
        token.keyword = keyword;
        return token;
    }

    // The parameter as an int, saturated.
    int parameterAsInt() const { return int(std::clamp<std::int64_t>(parameter, INT32_MIN, INT32_MAX)); }

    Type type = None;
    Keyword keyword = Keyword::Unknown;
    bool hasParameter = false;
    unsigned char symbol = 0;
    int hexByte = -1;   // -1: an invalid escape, dropped
    std::int64_t parameter = 0;
    // The bytes [begin, end) of the input that the token came from.
    qsizetype begin = 0;
    qsizetype end = 0;
};

// Byte classes for the inner loops: 0 is an ordinary byte of the kind of text at hand.
enum ByteClass : std::uint8_t { Ordinary = 0, Special = 1 };

struct ByteClasses {
    ByteClasses();
    std::uint8_t body[256];   // what ends a run of ordinary ASCII body text
    std::uint8_t skipped[256];   // what matters inside a skipped group
};

const ByteClasses &Classes();

// Bytes to tokens. The reader drives it byte by byte, since the meaning of a byte
// depends on its state (text, skipped groups, \uN fallbacks).
class Tokenizer {
public:
    explicit Tokenizer(QByteArrayView bytes)
        : begin_(reinterpret_cast<const unsigned char *>(bytes.data()))
        , p_(begin_)
        , end_(begin_ + bytes.size())
    {
    }

    bool atEnd() const { return p_ == end_; }
    unsigned char peek() const { return *p_; }
    unsigned char take() { return *p_++; }
    qsizetype offset() const { return p_ - begin_; }
    qsizetype remaining() const { return end_ - p_; }
    void skipToEnd() { p_ = end_; }

    // The control word, control symbol or \'hh escape whose backslash was just taken.
    Token control();
    // The bytes after \binN: at most `count`, fewer where the input ends first.
    Token binary(std::int64_t count);

    // Takes the run of bytes from here that `classes` calls ordinary; the first one
    // is taken whatever it is.
    QByteArrayView takeRun(const std::uint8_t *classes)
    {
        const unsigned char *const start = p_;
        const unsigned char *q = p_ + 1;
        while (q != end_ && classes[*q] == Ordinary)
            ++q;
        p_ = q;
        return QByteArrayView(reinterpret_cast<const char *>(start), q - start);
    }

    // Copies the ordinary ASCII body text from here to `out` as UTF-16, takes it and
    // returns how many bytes it was. `out` needs room for remaining() characters.
    qsizetype copyOrdinaryText(QChar *out);

private:
    const unsigned char *const begin_;
    const unsigned char *p_;
    const unsigned char *const end_;
};

}   // namespace codec::rtf
