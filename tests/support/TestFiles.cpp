#include "support/TestFiles.h"

#include "phonebook/PhoneBook.h"
#include "system/Exception.h"
#include "vcl/TRichEdit.h"

#include <QDir>
#include <QFile>

namespace support {

bool WriteFile(const QString &fileName, QByteArrayView bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size();
}

QByteArray ReadFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

namespace {

QString FullName(const QString &fileName)
{
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(fileName));
}

}   // namespace

QString OpenReport(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Fisierul \"%1\" nu poate fi deschis: %2.").arg(FullName(fileName), reason);
}

QString SaveReport(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Fisierul \"%1\" nu poate fi salvat: %2.").arg(FullName(fileName), reason);
}

QString FailureOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const Exception &error) {
        return error.Message();
    }
    return {};
}

QString LoadFailure(TStrings &lines, const QString &fileName)
{
    return FailureOf([&] { lines.LoadFromFile(fileName); });
}

QString SaveFailure(const TStrings &lines, const QString &fileName)
{
    return FailureOf([&] { lines.SaveToFile(fileName, phonebook::SaveFormat()); });
}

QStringList Lines(const TStrings &strings)
{
    QStringList result;
    for (int index = 0; index < strings.Count(); ++index)
        result.append(strings.Strings(index));
    return result;
}

QStringList Lines(const TRichEdit &box) { return Lines(*box.Lines); }

}   // namespace support
