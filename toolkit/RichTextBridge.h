#pragma once

#include "RichDocument.h"

class QTextCharFormat;
class QTextCursor;
class QTextDocument;

// Moves documents between the codecs' model and Qt's text document. Positions map
// one to one: each paragraph end of the model is one block separator of Qt's.
namespace bridge {

QTextCharFormat toQt(const codec::CharacterFormat &format);
codec::CharacterFormat fromQt(const QTextCharFormat &format);

// The document's paragraphs and their character formats. A last block that is empty
// is the end of the text, not a paragraph of its own.
codec::RichDocument toRichDocument(const QTextDocument &document);
// The same for a document that holds no character formatting: much faster.
codec::RichDocument toPlainRichDocument(const QTextDocument &document);

// Gives the runs' formats to a document whose text is already the model's text.
void applyFormats(QTextDocument &document, const codec::RichDocument &model);

// Inserts the model at the cursor; without its last paragraph end, as a paste is.
void insert(QTextCursor &cursor, const codec::RichDocument &model);

}   // namespace bridge
