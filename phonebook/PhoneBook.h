#pragma once

#include "codec/rtf/Writer.h"

#include <QString>

class TRichEdit;

// The phone book: a list of lines held by the main window's rich-text box, one entry
// a line, and the two files it is read from and written to.
namespace phonebook {

// Read once at start.
inline const QString LoadFileName = QStringLiteral("baza.txt");
// Written by each save; never read back by the program.
inline const QString SaveFileName = QStringLiteral("baza.doc");
// What the saved file names as its own: the list's font and size (MS Sans Serif, 8 pt)
// and this program with its version.
codec::RtfWriterOptions SaveFormat();

// Surname, two blanks, first name, two blanks, phone number: the texts exactly as
// typed, nothing trimmed or checked.
QString EntryLine(const QString &surname, const QString &firstName, const QString &phoneNumber);

void Clear(TRichEdit &list);
void Load(TRichEdit &list);
void Append(TRichEdit &list, const QString &entryLine);
// A number that names no line (the caret past the last entry) deletes nothing.
void DeleteAt(TRichEdit &list, int lineNumber);
QString WholeText(const TRichEdit &list);
void Save(const TRichEdit &list);

}   // namespace phonebook
