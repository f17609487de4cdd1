#pragma once

#include "codec/CodePages.h"
#include "codec/RichDocument.h"
#include "codec/rtf/BodyText.h"
#include "codec/rtf/CharacterState.h"
#include "codec/rtf/Groups.h"
#include "codec/rtf/Tables.h"
#include "codec/rtf/TextDecoder.h"
#include "codec/rtf/Tokenizer.h"

#include <QByteArrayView>

#include <cstdint>

// The reader's state machine: one pass over the bytes with an explicit group stack, as
// hostile files nest groups hundreds of thousands deep, so nothing here recurses. The
// pass itself, the groups and the bytes of text are in Reader.cpp; what each control
// word and symbol means, in each destination, in Interpreter.cpp.
//
// Paragraph formatting (alignment, indents, spacing, tab stops, borders, shading,
// list levels, styles) and character properties the model cannot show
// (super/subscript, caps, scaling, language, character spacing) are read and dropped.

namespace codec::rtf {

class Interpreter : private BodyText {
public:
    explicit Interpreter(QByteArrayView bytes)
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

}   // namespace codec::rtf
