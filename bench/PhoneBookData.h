#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Phone-book entries for the benchmarks: "Popescu  Ion  0744 555 010", random but
// the same on every run, some with Romanian letters.
namespace benchdata {

QStringList Entries(int count);

// The entries as the program's baza.txt: UTF-8, CR LF after every line.
QByteArray PlainFile(const QStringList &entries);

// The entries as a Rich Text Format file written by the program's own writer.
QByteArray RtfFile(const QStringList &entries);

// Writes the whole file, or stops the program saying why not.
void WriteFile(const QString &fileName, const QByteArray &bytes);

// Peak and current resident memory of this process, in bytes, from /proc.
qint64 PeakResidentBytes();
qint64 ResidentBytes();

}   // namespace benchdata
