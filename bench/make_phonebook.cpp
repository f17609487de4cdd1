// Writes a phone book of N generated entries: make_phonebook N FILE [plain|rtf]
#include "PhoneBookData.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: make_phonebook COUNT FILE [plain|rtf]\n");
        return 2;
    }
    const QStringList entries = benchdata::Entries(arguments.at(1).toInt());
    const bool rtf = arguments.size() > 3 && arguments.at(3) == QLatin1String("rtf");
    const QByteArray bytes = rtf ? benchdata::RtfFile(entries) : benchdata::PlainFile(entries);
    benchdata::WriteFile(arguments.at(2), bytes);
    return 0;
}
