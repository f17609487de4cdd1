#include "PhoneBookData.h"

#include "codec/RichDocument.h"
#include "codec/rtf/Writer.h"
#include "phonebook/PhoneBook.h"
#include "support/DocumentOf.h"

#include <QFile>

#include <array>
#include <random>

namespace benchdata {

namespace {

const std::array surnames = { u"Popescu", u"Ionescu", u"Popa", u"Pop", u"Radu", u"Dumitru", u"Stan",
    u"Stoica", u"Gheorghe", u"Matei", u"Ciobanu", u"Rusu", u"Munteanu", u"Constantinescu", u"Dobre", u"Barbu",
    u"Nistor", u"Florea", u"Moldovan", u"Lungu", u"Ștefănescu", u"Mureșan", u"Răducanu", u"Țurcanu", u"Niță",
    u"Bălan", u"Preda", u"Toma", u"Vasilescu", u"Iordache" };
const std::array firstNames = { u"Ion", u"Maria", u"Andrei", u"Elena", u"Mihai", u"Ana", u"Alexandru",
    u"Ioana", u"Gabriel", u"Cristina", u"Bogdan", u"Adriana", u"Vasile", u"Gheorghe", u"Daniela", u"Ștefan",
    u"Cătălina", u"Răzvan", u"Tudor", u"Irina", u"Mădălina", u"Costel", u"Ionuț", u"Alina", u"Florin",
    u"Sorina", u"Dănuț", u"Laura", u"Viorica", u"Petru" };

}   // namespace

QStringList Entries(int count)
{
    // The engine's sequence is fixed by the standard; plain modulo keeps the
    // picks the same on every library.
    std::mt19937 random(20240611);
    QStringList entries;
    entries.reserve(count);
    for (int i = 0; i < count; ++i) {
        const auto surname = surnames[random() % surnames.size()];
        const auto firstName = firstNames[random() % firstNames.size()];
        const unsigned number = random();
        entries.append(QStringLiteral("%1  %2  07%3 %4 %5")
                           .arg(QString::fromUtf16(surname), QString::fromUtf16(firstName))
                           .arg(number % 100, 2, 10, QLatin1Char('0'))
                           .arg(number / 100 % 1000, 3, 10, QLatin1Char('0'))
                           .arg(number / 100000 % 1000, 3, 10, QLatin1Char('0')));
    }
    return entries;
}

QByteArray PlainFile(const QStringList &entries)
{
    QByteArray bytes;
    for (const QString &entry : entries) {
        bytes.append(entry.toUtf8());
        bytes.append("\r\n");
    }
    return bytes;
}

QByteArray RtfFile(const QStringList &entries)
{
    return codec::WriteRtf(support::DocumentOf(entries), phonebook::SaveFormat());
}

void WriteFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s: %s", qPrintable(fileName), qPrintable(file.errorString()));
}

namespace {

qint64 statusField(const char *name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(name) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

}   // namespace

qint64 PeakResidentBytes() { return statusField("VmHWM"); }

qint64 ResidentBytes() { return statusField("VmRSS"); }

}   // namespace benchdata
