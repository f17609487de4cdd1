#pragma once

#include "codec/CodePages.h"
#include "codec/RichDocument.h"
#include "codec/rtf/TextDecoder.h"
#include "codec/rtf/TextOutput.h"

namespace codec::rtf {

constexpr char16_t lineSeparator = 0x2028;

// The body text as it is written: characters, paragraph ends, the tab that a table
// cell leaves for the next one, and the run each piece of text goes into. What
// decides the run and the code page is the reader's; it hears of it in prepare().
class BodyText {
public:
    explicit BodyText(qsizetype expectedLength)
        : output_(expectedLength)
    {
    }
    virtual ~BodyText() = default;

protected:
    // Before the next text, once needsPreparation() was called: find the format and
    // code page of text, then call openText() with the format.
    virtual void prepare() = 0;
    void needsPreparation() { textNeedsPreparation_ = true; }
    void openText(int format);

    void beginText()
    {
        if (Q_UNLIKELY(textNeedsPreparation_))
            prepare();
        paragraphHasContent_ = true;
    }
    void emitCharacter(char16_t c)
    {
        beginText();
        output_.put(QChar(c));
    }
    // A code unit from \uN, an escaped brace or a decoded byte that may be special.
    void emitCodeUnit(char16_t c);
    // A character that a control word stands for.
    void emitSpecial(char16_t c)
    {
        flushSurrogate();
        emitCharacter(c);
    }
    void flushSurrogate()
    {
        if (decoder_.dropHighSurrogate())
            emitCharacter(replacementCharacter);
    }
    // Writes the bytes that waited for the rest of their character.
    void flushPendingBytes(const CodePage &page);
    void endParagraph();
    // \cell: the next text of the row, if any, follows a tab.
    void endCell();
    // \nestrow: the nested table's row ends on a line of the outer cell.
    void endNestedRow();
    // The rest of the document, once the input ended.
    RichDocument finishText();

    TextDecoder decoder_;
    TextOutput output_;

private:
    bool pendingCellTab_ = false;
    bool paragraphHasContent_ = false;
    bool textNeedsPreparation_ = true;
    int format_ = -1;   // the format openText() was last given
};

}   // namespace codec::rtf
