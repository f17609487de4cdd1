#pragma once

#include "vcl/TRichEdit.h"

#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// A rich-text box on screen holding `count` phone-book entries, loaded from a file
// as the program loads baza.txt. Boxes are built once per size and kept, because
// filling a million lines takes seconds.
namespace benchdata {

struct LoadedBox {
    QTemporaryDir directory;
    QString plainFile;   // baza.txt with the entries
    QString rtfFile;     // the same entries as Rich Text Format
    QStringList entries;
    std::unique_ptr<TRichEdit> box;
};

LoadedBox &BoxWith(int count);
// Destroys the kept boxes; to be called while the application object still exists.
void ReleaseBoxes();

// Builds a fresh box, not shown, loaded from the plain file of `count` entries.
std::unique_ptr<TRichEdit> NewHiddenBox(const QString &fileName);

// Processes what the last operation left pending, paint included.
void Settle(TRichEdit &box);

}   // namespace benchdata
