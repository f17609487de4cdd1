#include "codec/rtf/Interpreter.h"

#include "codec/rtf/Keywords.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace codec::rtf {

// Every control word, control symbol and escape goes through here, fast or slow, so
// that what a group's first word means is decided in one place.
void Interpreter::execute(const Token &token)
{
    if (token.type != Token::Hex && Q_UNLIKELY(decoder_.hasPendingBytes()))
        flushPendingBytes();
    switch (token.type) {
    case Token::Word:
        executeWord(token);
        break;
    case Token::Symbol:
        executeSymbol(token.symbol);
        break;
    case Token::Hex:
        if (token.hexByte > 0)
            textByte(static_cast<unsigned char>(token.hexByte), true);
        break;
    default:
        break;
    }
    atGroupStart_ = false;
}

void Interpreter::executeSymbol(unsigned char symbol)
{
    if (symbol == '*') {
        // \* marks a destination only as a group's first word; Word-era writers
        // also leave it in front of ordinary words mid-group, where it means nothing.
        ignorableNext_ = atGroupStart_;
        return;
    }
    ignorableNext_ = false;
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        if (state().destination == Destination::Body) {
            if (!state().character.hidden)
                emitCodeUnit(symbol);
        } else {
            textByte(symbol, true);
        }
        return;
    case '\r':
    case '\n':
        executeWord(Token::word(Keyword::Paragraph));
        return;
    case '\t':
        executeWord(Token::word(Keyword::Tab));
        return;
    default:
        // \: \| and the unknown ones stand for nothing.
        if (const char16_t c = CharacterOfSymbol(symbol); c != 0)
            executeUnicode(c);
        return;
    }
}

void Interpreter::executeUnicode(std::int64_t value)
{
    GroupState &s = state();
    const char16_t unit = UnicodeUnit(value);
    if (s.destination == Destination::Body) {
        if (!s.character.hidden) {
            flushPendingBytes();
            emitCodeUnit(unit);
        }
    } else if (s.destination == Destination::FontTable) {
        fonts_.addNameUnit(unit, pages_.documentPage());
    }
}

bool Interpreter::executeWordAnywhere(const Token &token)
{
    GroupState &s = state();
    switch (token.keyword) {
    case Keyword::Binary:
        tokens_.binary(token.hasParameter ? token.parameter : 0);
        return true;
    case Keyword::UnicodeSkip:
        s.unicodeSkip = std::uint8_t(std::clamp(token.parameterAsInt(), 0, maximumUnicodeSkip));
        return true;
    case Keyword::UnicodeCharacter:
        executeUnicode(token.hasParameter ? token.parameter : std::numeric_limits<std::int64_t>::min());
        decoder_.startSkipping(s.unicodeSkip);
        return true;
    case Keyword::Ud:
        if (s.insideUpr)
            s.destination = s.uprRestore;
        return true;
    default:
        return false;
    }
}

void Interpreter::executeTableWord(const Token &token)
{
    if (executeWordAnywhere(token))
        return;
    const Keyword keyword = token.keyword;
    GroupState &s = state();
    const int parameter = token.parameterAsInt();
    switch (s.destination) {
    case Destination::Skip:
    case Destination::Body:
        return;
    case Destination::FontTable:
        if (keyword == Keyword::Font) {
            if (fonts_.begin(parameter, groups_.depth(), pages_.documentPage()))
                tablesChanged();
        } else if (keyword == Keyword::FontCharset) {
            fonts_.setCharset(parameter);
        } else if (keyword == Keyword::Upr) {
            s.isUprGroup = true;
        } else if (keyword == Keyword::SkippedDestination) {
            s.destination = Destination::Skip;
        }
        return;
    case Destination::ColorTable:
        if (keyword == Keyword::Red || keyword == Keyword::Green || keyword == Keyword::Blue)
            colors_.setComponent(keyword, parameter);
        return;
    }
}

// The document's header: its character set, code page and default font. False for
// other words.
bool Interpreter::executeHeaderWord(const Token &token)
{
    switch (token.keyword) {
    case Keyword::Rtf:
    case Keyword::Urtf:
        // Only the document's own header counts; an embedded {\rtf1 is a plain group.
        if (!headerSeen_ && groups_.depth() == 1) {
            headerSeen_ = true;
            if (token.keyword == Keyword::Urtf) {
                pages_.setUtf8();
                pageChanged();
            }
        }
        return true;
    case Keyword::DefaultFont:
        defaultFont_ = token.parameterAsInt();
        tablesChanged();
        return true;
    default:
        if (!pages_.applyWord(token))
            return false;
        pageChanged();
        return true;
    }
}

// Pending bytes are already decoded (execute() did it), so a word that changes the
// font or the code page cannot change how earlier text reads.
void Interpreter::executeWord(const Token &token)
{
    const Keyword keyword = token.keyword;
    const bool ignorable = ignorableNext_;
    ignorableNext_ = false;
    GroupState &s = state();

    if (Q_UNLIKELY(ignorable) && !IsDestination(keyword)) {
        s.destination = Destination::Skip;
        return;
    }
    if (s.destination != Destination::Body) {
        executeTableWord(token);
        return;
    }
    switch (keyword) {
    case Keyword::Paragraph:
        // A paragraph inside a table cell stays on the row's line.
        if (s.inTable)
            emitCharacter(lineSeparator);
        else
            endParagraph();
        return;
    case Keyword::SkippedDestination:
        s.destination = Destination::Skip;
        return;
    case Keyword::FontTable:
        s.destination = Destination::FontTable;
        fonts_.restart();
        return;
    case Keyword::ColorTable:
        s.destination = Destination::ColorTable;
        colors_.restart();
        tablesChanged();
        return;
    case Keyword::Upr:
        s.isUprGroup = true;
        return;
    case Keyword::ParagraphDefaults:
        s.inTable = false;
        return;
    case Keyword::InTable:
        s.inTable = true;
        return;
    case Keyword::Row:
        // Every row restates \intbl; text after the table must not join it.
        s.inTable = false;
        endParagraph();
        return;
    case Keyword::Section:
        endParagraph();
        return;
    case Keyword::NestedRow:
        // A row of a table inside a cell: the outer row keeps one line.
        endNestedRow();
        return;
    case Keyword::Cell:
    case Keyword::NestedCell:
        endCell();
        return;
    case Keyword::Line:
    case Keyword::Page:
    case Keyword::Column:
        if (!s.character.hidden)
            emitCharacter(lineSeparator);
        return;
    default:
        break;
    }
    // The common words first: the others are looked for in turn.
    if (executeWordAnywhere(token))
        return;
    if (const CharacterState::Word word = s.character.apply(token); word != CharacterState::Word::Other) {
        if (word == CharacterState::Word::Format)
            formatChanged();
        return;
    }
    if (executeHeaderWord(token))
        return;
    // Unknown words, fields and table words out of their tables stand for nothing.
    if (const char16_t c = CharacterOf(keyword); c != 0 && !s.character.hidden)
        emitSpecial(c);
}

}   // namespace codec::rtf
