#pragma once

#include "codec/CodePages.h"
#include "codec/rtf/Tokenizer.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace codec::rtf {

class FontTable;

constexpr char16_t replacementCharacter = 0xFFFD;
// \ucN beyond this skips no more: no fallback is that long.
constexpr int maximumUnicodeSkip = 16;

// The UTF-16 code unit of \uN: N is a signed 16-bit number; anything else is U+FFFD.
char16_t UnicodeUnit(std::int64_t value);

// What one code unit turns into: up to two units to write, then perhaps a paragraph end.
struct DecodedUnits {
    char16_t units[2] = {};
    int count = 0;
    bool paragraphEnd = false;

    void add(char16_t unit) { units[count++] = unit; }
};

// Text that arrives in pieces: bytes of the current code page that wait for the rest
// of a character, the \ucN fallback still to skip after \uN, and a high surrogate that
// waits for its low half.
class TextDecoder {
public:
    TextDecoder() { pending_.reserve(64); }

    bool hasPendingBytes() const { return !pending_.isEmpty(); }
    // The last pending byte starts a double-byte character, whose trail may be ASCII.
    bool leadOpen() const { return leadOpen_; }
    void addByte(unsigned char c, const CodePage &page)
    {
        leadOpen_ = !leadOpen_ && page.isLeadByte(c);
        pending_.append(char(c));
    }
    void addTrailByte(unsigned char c)
    {
        pending_.append(char(c));
        leadOpen_ = false;
    }
    // The pending bytes decoded; valid until the next call.
    const QString &takeDecoded(const CodePage &page);

    void startSkipping(int count) { skipRemaining_ = count; }
    bool skipping() const { return skipRemaining_ > 0; }
    void stopSkipping() { skipRemaining_ = 0; }
    // Passes over one character of the fallback; a brace ends the fallback instead.
    void skipFallback(Tokenizer &tokens);

    bool hasHighSurrogate() const { return high_ != 0; }
    // Forgets a high surrogate that no low one followed; true when there was one.
    bool dropHighSurrogate()
    {
        const bool had = high_ != 0;
        high_ = 0;
        return had;
    }
    // A code unit from \uN or from decoded bytes. Surrogates pair up, lone halves
    // and NUL become U+FFFD, and CR, LF and U+2029 end the paragraph: the model
    // keeps those for its own structure.
    DecodedUnits codeUnit(char16_t c);

private:
    QByteArray pending_;
    bool leadOpen_ = false;
    QString scratch_;
    int skipRemaining_ = 0;
    char16_t high_ = 0;
};

// The code page body text reads in: the document's (\ansicpgN and friends, or UTF-8
// for \urtf), unless the current font names its own. Kept until a font, the
// default font or the document's page changes.
class PageChoice {
public:
    const CodePage &documentPage() const { return documentPage_; }
    void setDocumentPage(int number)
    {
        documentPage_ = CodePage::forNumber(number);
        valid_ = false;
    }
    void setUtf8()
    {
        utf8_ = true;
        valid_ = false;
    }
    bool utf8() const { return utf8_; }
    // \ansi, \mac, \pc, \pca and \ansicpgN; false for other words.
    bool applyWord(const Token &token);
    void invalidate() { valid_ = false; }

    CodePage forFont(int font, int defaultFont, const FontTable &fonts)
    {
        if (utf8_)
            return CodePage::forNumber(CodePage::utf8);
        if (!valid_ || font_ != font)
            choose(font, defaultFont, fonts);
        return page_;
    }

private:
    void choose(int font, int defaultFont, const FontTable &fonts);

    CodePage documentPage_ = CodePage::forNumber(1252);
    bool utf8_ = false;
    bool valid_ = false;
    int font_ = 0;
    CodePage page_ = documentPage_;
};

}   // namespace codec::rtf
