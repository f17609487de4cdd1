#pragma once

#include "codec/RichDocument.h"

#include <QTextFormat>
#include <QtGlobal>

class QTextCursor;
class QTextDocument;

// Moves documents between the codecs' model and Qt's text document. Positions map
// one to one: each paragraph end of the model is one block separator of Qt's.
namespace richtext {

QTextCharFormat ToQt(const codec::CharacterFormat &format);
codec::CharacterFormat FromQt(const QTextCharFormat &format);

// The document's paragraphs and their character formats. A last block that is empty
// is the end of the text, not a paragraph of its own.
codec::RichDocument ToRichDocument(const QTextDocument &document);
// The same for a cursor's selection, ended as FromPlainText ends a paste: the last
// paragraph, which the selection may cut short, is ended too.
codec::RichDocument ToRichDocument(const QTextCursor &selection);
// The same for a document that holds no character formatting: much faster.
codec::RichDocument ToPlainRichDocument(const QTextDocument &document);

// Replaces a document's content by a model's, formats included, a part at a time, so
// that a long fill can leave the event loop free between parts. Each part ends at a
// paragraph end. U+FDD0 and U+FDD1, which Qt's document would take for paragraph
// ends, are shown as U+FFFD and read back as they were. The document keeps no undo
// history of the fill.
class Filler {
public:
    Filler(QTextDocument &document, codec::RichDocument model);
    ~Filler();
    Q_DISABLE_COPY_MOVE(Filler)

    // Appends at least `characters` more characters, up to the next paragraph end.
    void Step(qsizetype characters);
    bool Done() const { return done_ == size_; }
    qsizetype Remaining() const { return size_ - done_; }
    // False when the document holds plain text only and can be read with
    // ToPlainRichDocument.
    bool HoldsFormatting() const;

private:
    void letGoOfFilledText();

    QTextDocument &document_;
    // The model's text from `dropped_` on; positions count from the model's start.
    codec::RichDocument model_;
    const qsizetype size_;
    qsizetype dropped_ = 0;
    qsizetype done_ = 0;
    std::size_t nextRun_ = 0;
    bool holdsStandIns_ = false;
    bool undoWas_;
};

// The property of a stand-in's format that names the character it stands for.
constexpr int standsForProperty = QTextFormat::UserProperty + 0x100;

// Inserts the model at the cursor in place of its selection, as one step of the undo
// history, without the model's last paragraph end, as a paste is; text that no run
// covers takes `plainFormat`. Characters Qt reserves go in as a fill puts them.
// Returns whether the inserted text holds formats or such characters.
bool Insert(QTextCursor &cursor, const codec::RichDocument &model, const QTextCharFormat &plainFormat);

// HTML as a model fit for the box, as FitForBox makes it. Pictures, bullets and table
// borders have no place in a list of lines and are dropped.
codec::RichDocument FromHtml(QString html, const QTextDocument *joined);

// Text pasted as plain text as a model: CR LF, CR, LF and U+2029 end paragraphs, NULs
// go, and the last paragraph is ended, so that Insert puts back the text as it was.
codec::RichDocument FromPlainText(QString text);

// What Qt's document, layout and font cache are given at most, whatever a file or a
// paste holds: past these a load takes minutes and a keystroke seconds.
namespace limits {
constexpr int smallestHalfPoints = 2;   // 1 pt
constexpr int largestHalfPoints = 3276;   // 1638 pt, as word processors allow
constexpr int fontSizes = 32;   // distinct sizes in the box
constexpr int fontFamilies = 32;   // distinct families in the box
constexpr int colours = 64;   // distinct text colours, and as many backgrounds
constexpr int runsPerParagraph = 256;   // changes of format within one line
constexpr int longestWord = 500;   // characters between two break opportunities
}   // namespace limits

// The model as the box can hold it. Sizes are clamped to the range above; a size,
// family or colour beyond the number the box may hold (counting those `joined`
// already holds) becomes the nearest one kept (a family becomes the default one);
// a line with more runs than allowed has its runs merged in consecutive groups,
// each group taking the format of its longest run. Text is never changed.
codec::RichDocument FitForBox(const codec::RichDocument &model, const QTextDocument *joined = nullptr);

// About how many bytes the box will take for the model beyond the model itself:
// from Qt's own figures for each paragraph, character and run (measured, rounded up).
// A box that has been on screen keeps a layout for every paragraph it is given.
qint64 EstimatedBytes(const codec::RichDocument &model, bool intoShownBox = false);

// Whether the text holds a stretch without a blank longer than limits::longestWord:
// laid out with breaks only at word boundaries, such a line costs time that grows
// with the square of its length.
bool NeedsBreaksAnywhere(QStringView text);

}   // namespace richtext
