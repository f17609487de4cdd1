#pragma once

#include "codec/RichDocument.h"
#include "support/TestFiles.h"
#include "vcl/TRichEdit.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>

// What the save tests start from: an earlier baza.doc, a list to save, and what a
// folder holds afterwards.
namespace savefixture {

inline const QByteArray oldContent = QByteArrayLiteral("{\\rtf1 earlier\\par}");

// About `size` bytes of lines, so that a save of them outgrows a small limit.
inline void fill(TRichEdit &box, int size)
{
    QStringList all;
    for (int i = 0; i * 40 < size; ++i)
        all.append(QStringLiteral("Popescu  Ion  %1  Ștefan").arg(i, 12, 10, QLatin1Char('0')));
    box.Document(support::DocumentOf(all));
}

inline QStringList entries(const QString &directory)
{
    return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

}   // namespace savefixture
