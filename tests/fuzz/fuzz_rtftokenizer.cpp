// The tokenizer alone: whatever the bytes, its tokens cover the input exactly, in
// order, with no gap and no overlap, and its fast scan of text agrees with the
// byte classes it stands for.
#include "DocumentChecks.h"
#include "codec/rtf/Tokenizer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using codec::rtf::Token;
using codec::rtf::Tokenizer;

// The ordinary body text at the start of `text`, copied the fast way, must be the
// bytes the class table calls ordinary, widened one by one.
void CheckTextScan(QByteArrayView text)
{
    Tokenizer scan(text);
    std::vector<QChar> copied(std::size_t(text.size()) + 16);
    const qsizetype count = scan.copyOrdinaryText(copied.data());
    const auto &classes = codec::rtf::Classes();
    qsizetype expected = 0;
    while (expected < text.size() && classes.body[static_cast<unsigned char>(text[expected])] == 0)
        ++expected;
    fuzz::require(count == expected, "the fast scan stops elsewhere than the byte classes");
    fuzz::require(scan.offset() == count, "the fast scan takes other bytes than it copies");
    for (qsizetype i = 0; i < count; ++i) {
        if (copied[std::size_t(i)] != QChar(char16_t(static_cast<unsigned char>(text[i]))))
            fuzz::fail("the fast scan copies another character than it read");
    }
}

// The next piece of the input as a reader without state would take it: a brace, a run
// of text up to a backslash or a brace, or what control() reads after a backslash.
struct Piece {
    Token token;
    bool text = false;
};

Piece NextPiece(Tokenizer &tokens)
{
    Piece piece;
    const unsigned char c = tokens.take();
    if (c == '\\') {
        piece.token = tokens.control();
        return piece;
    }
    piece.token.begin = tokens.offset() - 1;
    if (c != '{' && c != '}') {
        while (!tokens.atEnd() && codec::rtf::Classes().skipped[tokens.peek()] == 0)
            tokens.take();
        piece.text = true;
    }
    piece.token.end = tokens.offset();
    return piece;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Tokenizer tokens(bytes);
    qsizetype covered = 0;
    while (!tokens.atEnd()) {
        const Piece piece = NextPiece(tokens);
        const Token &token = piece.token;
        fuzz::require(token.begin == covered, "a gap or an overlap between tokens");
        fuzz::require(token.end > token.begin, "an empty token");
        fuzz::require(token.end == tokens.offset(), "a token ends elsewhere than the tokenizer stands");
        covered = token.end;
        if (piece.text)
            CheckTextScan(bytes.sliced(token.begin, token.end - token.begin));
        if (token.type == Token::Word && token.keyword == codec::rtf::Keyword::Binary) {
            const Token binary = tokens.binary(token.parameter);
            fuzz::require(
                binary.begin == covered && binary.end >= binary.begin && binary.end == tokens.offset(),
                "binary data outside its place");
            covered = binary.end;
        }
    }
    fuzz::require(covered == bytes.size(), "the tokens end before the input");
    return 0;
}
