#include "codec/rtf/Reader.h"

#include "codec/CodePages.h"
#include "codec/rtf/BodyText.h"
#include "codec/rtf/CharacterState.h"
#include "codec/rtf/Groups.h"
#include "codec/rtf/Keywords.h"
#include "codec/rtf/Tables.h"
#include "codec/rtf/TextDecoder.h"
#include "codec/rtf/Tokenizer.h"

#include <algorithm>
#include <cstdint>
#include <limits>

// One pass over the bytes with an explicit group stack: hostile files nest groups
// hundreds of thousands deep, so nothing here recurses.
//
// Paragraph formatting (alignment, indents, spacing, tab stops, borders, shading,
// list levels, styles) and character properties the model cannot show
// (super/subscript, caps, scaling, language, character spacing) are read and dropped.

namespace codec {

namespace {

using namespace rtf;

class Reader : private BodyText {
public:
    explicit Reader(QByteArrayView bytes)
        : BodyText(bytes.size() + 64)
        , tokens_(bytes)
    {
    }

    RichDocument run();

private:
    void prepare() override;
    // In a Symbol font even ASCII bytes are symbols, as their \'hh escapes are.
    void writeSymbols(QByteArrayView bytes)
    {
        output_.advance(pageForCurrentFont().decode(bytes, output_.cursor(bytes.size())));
    }
    void flushPendingBytes()
    {
        if (decoder_.hasPendingBytes())
            BodyText::flushPendingBytes(pageForCurrentFont());
    }
    CodePage pageForCurrentFont()
    {
        const int font = state().character.font;
        return pages_.forFont(font < 0 ? defaultFont_ : font, defaultFont_, fonts_);
    }

    // tokens
    void execute(const Token &token);
    void executeWord(const Token &token);
    // Words that mean the same in every destination; false for the others.
    bool executeWordAnywhere(const Token &token);
    // Words inside the font and colour tables and skipped groups.
    void executeTableWord(const Token &token);
    void executeSymbol(unsigned char symbol);
    void executeUnicode(std::int64_t value);
    bool executeHeaderWord(const Token &token);
    void openGroup();
    bool closeGroup();   // false when the outermost group ended
    // `escaped`: the byte came from \'hh or \{ and friends, so it is text and never a
    // table's ';' separator.
    void textByte(unsigned char c, bool escaped);

    GroupState &state() { return groups_.innermost(); }
    void formatChanged()
    {
        format_.stateChanged();
        needsPreparation();
    }
    // The fonts, the colours or the default font changed.
    void tablesChanged()
    {
        format_.tablesChanged();
        pageChanged();
    }
    // The code page of text may have changed: find it again before the next text.
    void pageChanged()
    {
        pages_.invalidate();
        needsPreparation();
    }

    Tokenizer tokens_;

    GroupStack groups_;
    bool ignorableNext_ = false;
    bool atGroupStart_ = false;

    PageChoice pages_;
    bool headerSeen_ = false;
    int defaultFont_ = 0;
    FontTable fonts_;
    ColorTable colors_;
    FormatCache format_;
    bool symbolText_ = false;   // the current font is a Symbol font
};

void Reader::prepare()
{
    // Every change of font or code page asks for preparation, so this stays current.
    symbolText_ = !pages_.utf8() && pageForCurrentFont().isSymbol();
    format_.noteDefaultSize(groups_.outermost().character.halfPoints);
    if (format_.dirty())
        format_.refresh(state().character, defaultFont_, fonts_, colors_, output_.document());
    openText(format_.current());
}

void Reader::openGroup()
{
    flushPendingBytes();
    decoder_.stopSkipping();
    ignorableNext_ = false;
    atGroupStart_ = true;
    groups_.open();
}

bool Reader::closeGroup()
{
    flushPendingBytes();
    decoder_.stopSkipping();
    ignorableNext_ = false;
    atGroupStart_ = false;
    if (groups_.closeCounted())
        return true;
    const GroupState &closing = state();
    if (closing.destination == Destination::FontTable && fonts_.pending() && fonts_.depth() >= groups_.depth()
        && fonts_.commit(pages_.documentPage()))
        tablesChanged();
    if (groups_.depth() == 1)
        return false;
    groups_.close();
    formatChanged();
    pageChanged();
    return true;
}

// Every control word, control symbol and escape goes through here, fast or slow, so
// that what a group's first word means is decided in one place.
void Reader::execute(const Token &token)
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

void Reader::textByte(unsigned char c, bool escaped)
{
    atGroupStart_ = false;
    GroupState &s = state();
    switch (s.destination) {
    case Destination::Body:
        if (!s.character.hidden)
            decoder_.addByte(c, pageForCurrentFont());
        break;
    case Destination::FontTable:
        if (c == ';' && !escaped) {
            if (fonts_.commit(pages_.documentPage()))
                tablesChanged();
        } else {
            fonts_.addNameByte(c);
        }
        break;
    case Destination::ColorTable:
        if (c == ';' && !escaped) {
            colors_.commit();
            tablesChanged();
        }
        break;
    case Destination::Skip:
        break;
    }
}

void Reader::executeSymbol(unsigned char symbol)
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

void Reader::executeUnicode(std::int64_t value)
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

bool Reader::executeWordAnywhere(const Token &token)
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

void Reader::executeTableWord(const Token &token)
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
bool Reader::executeHeaderWord(const Token &token)
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
void Reader::executeWord(const Token &token)
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

RichDocument Reader::run()
{
    const ByteClasses &classes = Classes();
    while (!tokens_.atEnd()) {
        const unsigned char c = tokens_.peek();
        if (!groups_.started()) {
            tokens_.take();
            if (c == '{')
                openGroup();
            continue;
        }

        if (Q_UNLIKELY(decoder_.skipping())) {
            decoder_.skipFallback(tokens_);
            continue;
        }

        const GroupState &s = state();
        if (s.destination == Destination::Body && !s.character.hidden) {
            if (classes.body[c] == Ordinary) {
                if (Q_UNLIKELY(decoder_.hasPendingBytes())) {
                    // A double-byte character's trail byte may be plain ASCII.
                    if (decoder_.leadOpen()) {
                        decoder_.addTrailByte(tokens_.take());
                        continue;
                    }
                    flushPendingBytes();
                }
                atGroupStart_ = false;
                beginText();
                if (Q_UNLIKELY(symbolText_)) {
                    writeSymbols(tokens_.takeRun(classes.body));
                } else {
                    output_.advance(tokens_.copyOrdinaryText(output_.cursor(tokens_.remaining())));
                }
                continue;
            }
        } else if (classes.skipped[c] == Ordinary && s.destination == Destination::Skip) {
            tokens_.takeRun(classes.skipped);
            continue;
        }

        tokens_.take();
        switch (c) {
        case '{':
            openGroup();
            break;
        case '}':
            if (!closeGroup())
                tokens_.skipToEnd();
            break;
        case '\\':
            execute(tokens_.control());
            break;
        case '\r':
        case '\n':
        case 0:
            break;
        case '\t':
            execute(Token::word(Keyword::Tab));
            break;
        default:
            if (c >= 0x80 && !(s.destination == Destination::Body && s.character.hidden)) {
                textByte(c, false);
            } else if (s.destination != Destination::Body) {
                textByte(c, false);
            }
            break;
        }
    }

    flushPendingBytes();
    return finishText();
}

}   // namespace

RichDocument ReadRtf(QByteArrayView bytes)
{
    Reader reader(bytes);
    return reader.run();
}

}   // namespace codec
