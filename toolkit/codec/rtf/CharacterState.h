#pragma once

#include "codec/RichDocument.h"
#include "codec/rtf/Tokenizer.h"

namespace codec::rtf {

class ColorTable;
class FontTable;

constexpr int defaultHalfPointsOfRtf = 24;

// A group's character formatting; copied at every '{', so small and free of heap members.
struct CharacterState : Toggles {
    enum class Word { Other, Format, Hidden };
    // Applies a character formatting word and says which kind it was.
    Word apply(const Token &token);

    bool hidden = false;
    int font = -1;   // -1: the \deff font
    int halfPoints = defaultHalfPointsOfRtf;
    int foreground = 0;
    int background = 0;
    int highlight = 0;

    // Every member: a new member goes here too.
    auto tied() const
    {
        return std::tuple_cat(
            Toggles::tied(), std::tie(hidden, font, halfPoints, foreground, background, highlight));
    }
    friend bool operator==(const CharacterState &a, const CharacterState &b) { return a.tied() == b.tied(); }
};

// The document format of the current text, found again only when the state that
// decides it changed.
//
// Which format counts as the document's default, so that plain files come back
// without runs: the font named by \deffN, and the font size that the outermost
// group holds when the first character of body text is written (24 half-points,
// RTF's own default, when that group never set \fs). Our writer puts
// "\pard\plain\f0\fsN", N its default size, in the outermost group before the first
// line, so its plain files read back with no runs and its formatted ones with exactly
// the runs it wrote. A run names a font only when its family differs from the \deff
// font's.
class FormatCache {
public:
    // The group's state may have changed.
    void stateChanged() { dirty_ = true; }
    // A table or the default font changed: the same state may now mean another format.
    void tablesChanged()
    {
        keyValid_ = false;
        dirty_ = true;
    }
    bool dirty() const { return dirty_; }

    // The outermost group's size when the first text is written is the document's default.
    void noteDefaultSize(int outermostHalfPoints)
    {
        if (!defaultSizeKnown_) {
            defaultSizeKnown_ = true;
            defaultHalfPoints_ = outermostHalfPoints;
        }
    }

    // The format of text in `state`: an index into the document's formats, or -1 for
    // the default format.
    int refresh(const CharacterState &state, int defaultFont, const FontTable &fonts,
        const ColorTable &colors, RichDocument &document);
    int current() const { return current_; }

private:
    bool dirty_ = true;
    // The state that current_ was found for, when keyValid_.
    bool keyValid_ = false;
    CharacterState key_;
    int current_ = -1;
    bool defaultSizeKnown_ = false;
    int defaultHalfPoints_ = defaultHalfPointsOfRtf;
};

}   // namespace codec::rtf
