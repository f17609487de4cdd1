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

// HTML as a model fit for the box, as FitForBox (BoxLimits.h) makes it. Pictures, bullets and table
// borders have no place in a list of lines and are dropped.
codec::RichDocument FromHtml(QString html, const QTextDocument *joined);

// Text pasted as plain text as a model: CR LF, CR, LF and U+2029 end paragraphs, NULs
// go, and the last paragraph is ended, so that Insert puts back the text as it was.
codec::RichDocument FromPlainText(QString text);

}   // namespace richtext
