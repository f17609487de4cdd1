#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class TRichEdit;
class TStrings;

namespace support {

// Whole files; a test checks what WriteFile returns, and reads an empty array for a
// file that cannot be read.
[[nodiscard]] bool WriteFile(const QString &fileName, const QByteArray &bytes);
QByteArray ReadFile(const QString &fileName);

// The system's own words for a file that is not there, as a failed open reports them.
QString FileNotFoundReason();

QStringList Lines(const TStrings &strings);
QStringList Lines(const TRichEdit &box);

}   // namespace support
