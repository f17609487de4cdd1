#include "codec/rtf/Tokenizer.h"

#include "codec/Hex.h"
#include "codec/rtf/Reader.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace codec {

bool LooksLikeRtf(QByteArrayView bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size()
        && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n' || bytes[i] == '\f'
            || bytes[i] == '\v'))
        ++i;
    const QByteArrayView rest = bytes.sliced(i);
    return rest.startsWith("{\\rtf") || rest.startsWith("{\\urtf");
}

namespace rtf {

namespace {

constexpr int maximumWordLength = 32;
constexpr int maximumDigits = 10;

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}   // namespace

ByteClasses::ByteClasses()
{
    for (int c = 0; c < 256; ++c) {
        body[c] = (c >= 0x80 || c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n' || c == '\t'
                      || c == 0)
            ? Special
            : Ordinary;
        skipped[c] = (c == '\\' || c == '{' || c == '}') ? Special : Ordinary;
    }
}

const ByteClasses &Classes()
{
    static const ByteClasses classes;
    return classes;
}

qsizetype Tokenizer::copyOrdinaryText(QChar *out)
{
    const unsigned char *const start = p_;
    const unsigned char *p = p_;
    const unsigned char *const end = end_;
#ifdef __SSE2__
    // Sixteen bytes at a time: the bytes with the top bit set and the seven that
    // end ordinary text are found with one mask; all sixteen are widened and stored,
    // and only those before the first special byte count.
    const __m128i zero = _mm_setzero_si128();
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i openBrace = _mm_set1_epi8('{');
    const __m128i closeBrace = _mm_set1_epi8('}');
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i tab = _mm_set1_epi8('\t');
    auto *to = reinterpret_cast<__m128i *>(out);
    while (end - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        const __m128i special = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, backslash), _mm_cmpeq_epi8(block, openBrace)),
                _mm_or_si128(_mm_cmpeq_epi8(block, closeBrace), _mm_cmpeq_epi8(block, zero))),
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, carriageReturn), _mm_cmpeq_epi8(block, lineFeed)),
                _mm_cmpeq_epi8(block, tab)));
        const unsigned mask = unsigned(_mm_movemask_epi8(special) | _mm_movemask_epi8(block));
        _mm_storeu_si128(to, _mm_unpacklo_epi8(block, zero));
        _mm_storeu_si128(to + 1, _mm_unpackhi_epi8(block, zero));
        if (mask != 0) {
            p += __builtin_ctz(mask);
            p_ = p;
            return p - start;
        }
        p += 16;
        to += 2;
    }
    out = reinterpret_cast<QChar *>(to);
#endif
    const ByteClasses &classes = Classes();
    for (; p != end && classes.body[*p] == Ordinary; ++p)
        *out++ = QChar(char16_t(*p));
    p_ = p;
    return p - start;
}

Token Tokenizer::control()
{
    // p_ is just past the backslash.
    Token token;
    token.begin = offset() - 1;
    if (p_ == end_) {
        token.end = offset();
        return token;
    }
    const unsigned char c = *p_;
    if (!IsLetter(c)) {
        ++p_;
        if (c == '\'') {
            token.type = Token::Hex;
            int digits[2] = { -1, -1 };
            for (int &digit : digits) {
                if (p_ == end_ || *p_ == '{' || *p_ == '}' || *p_ == '\\')
                    break;
                digit = HexValue(*p_);
                ++p_;
            }
            if (digits[0] >= 0 && digits[1] >= 0)
                token.hexByte = digits[0] << 4 | digits[1];
        } else {
            token.type = Token::Symbol;
            token.symbol = c;
        }
        token.end = offset();
        return token;
    }
    token.type = Token::Word;
    const unsigned char *const wordStart = p_;
    const unsigned char *q = p_;
    const unsigned char *const end = end_;
    std::uint32_t h = KeywordTable::initialHash;
    while (q != end && IsLetter(*q)) {
        h = KeywordTable::hash(h, *q);
        ++q;
    }
    const qsizetype wordLength = q - wordStart;
    if (q != end && (IsDigit(*q) || (*q == '-' && q + 1 != end && IsDigit(q[1])))) {
        const bool negative = *q == '-';
        if (negative)
            ++q;
        std::int64_t value = 0;
        int digits = 0;
        while (q != end && IsDigit(*q)) {
            // Only the first ten digits count; longer numbers saturate where they are used.
            if (digits < maximumDigits)
                value = value * 10 + (*q - '0');
            ++digits;
            ++q;
        }
        token.hasParameter = true;
        token.parameter = negative ? -value : value;
    }
    if (q != end && *q == ' ')
        ++q;
    p_ = q;
    token.end = offset();
    if (wordLength <= maximumWordLength) {
        token.keyword = Keywords().find(
            std::string_view(reinterpret_cast<const char *>(wordStart), std::size_t(wordLength)), h);
    }
    return token;
}

Token Tokenizer::binary(std::int64_t count)
{
    Token token;
    token.type = Token::Binary;
    token.begin = offset();
    p_ += std::clamp<std::int64_t>(count, 0, remaining());
    token.end = offset();
    return token;
}

}   // namespace rtf

}   // namespace codec
