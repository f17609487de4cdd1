#include "phonebook/PhoneBook.h"

#include "phonebook/Version.h"
#include "vcl/TRichEdit.h"

namespace phonebook {

namespace {
const QString separator = QStringLiteral("  ");
}

codec::RtfWriterOptions SaveFormat()
{
    codec::RtfWriterOptions options;
    options.defaultFontFamily = QStringLiteral("MS Sans Serif");
    options.defaultHalfPoints = 16;
    options.generator = QStringLiteral("carte de telefon ") + QLatin1String(programVersion);
    return options;
}

QString EntryLine(const QString &surname, const QString &firstName, const QString &phoneNumber)
{
    return surname + separator + firstName + separator + phoneNumber;
}

void Clear(TRichEdit &list) { list.Clear(); }

void Load(TRichEdit &list) { list.Lines->LoadFromFile(LoadFileName); }

void Append(TRichEdit &list, const QString &entryLine) { list.Lines->Add(entryLine); }

void DeleteAt(TRichEdit &list, int lineNumber)
{
    // The caret's line after the last entry, as in an empty list, holds no entry to
    // delete: that is no failure.
    if (lineNumber >= 0 && lineNumber < list.Lines->Count())
        list.Lines->Delete(lineNumber);
}

QString WholeText(const TRichEdit &list) { return list.Lines->Text(); }

void Save(const TRichEdit &list) { list.Lines->SaveToFile(SaveFileName, SaveFormat()); }

}   // namespace phonebook
