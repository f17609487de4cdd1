// What the print-system test needs besides the command-line tools of CUPS:
//
//   cups_probe listen PORT_FILE FOLDER  a printer on 127.0.0.1: writes the port it got to
//                                       PORT_FILE, then stores what each connection
//                                       delivers as FOLDER/job-N.data until killed.
//   cups_probe jobs                     every job the CUPS server knows, one a line:
//                                       id, state (9 = completed), name, tab-separated.
//   cups_probe print TITLE LINE...      prints the lines through the toolkit, as the
//                                       program does, and prints what it reported.
//   cups_probe cancel TITLE LINE...     the same, cancelled after the first page.

#include "richtext/Printing.h"
#include "system/Exception.h"

#include <QApplication>
#include <QTextDocument>

#include <arpa/inet.h>
#include <cstdio>
#include <cstring>
#include <cups/cups.h>
#include <fstream>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int listen(const char *portFile, const std::string &folder)
{
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (server < 0 || ::bind(server, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(server, 4) != 0
        || ::getsockname(server, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        std::perror("cups_probe listen");
        return 1;
    }
    {
        // Written whole under another name first, so that the reader never sees half.
        const std::string temporary = std::string(portFile) + ".part";
        std::ofstream(temporary) << ntohs(address.sin_port) << '\n';
        std::rename(temporary.c_str(), portFile);
    }
    for (int count = 1;; ++count) {
        const int connection = ::accept(server, nullptr, nullptr);
        if (connection < 0)
            continue;
        const std::string name = folder + "/job-" + std::to_string(count) + ".data";
        {
            std::ofstream data(name + ".part", std::ios::binary);
            char buffer[65536];
            ssize_t received;
            while ((received = ::read(connection, buffer, sizeof buffer)) > 0)
                data.write(buffer, received);
        }
        ::close(connection);
        std::rename((name + ".part").c_str(), name.c_str());
    }
}

int jobs()
{
    cups_job_t *list = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &list, nullptr, 0, CUPS_WHICHJOBS_ALL);
    if (count < 0) {
        std::fprintf(stderr, "cups_probe jobs: %s\n", cupsLastErrorString());
        return 1;
    }
    for (int index = 0; index < count; ++index)
        std::printf("%d\t%d\t%s\n", list[index].id, int(list[index].state), list[index].title);
    cupsFreeJobs(count, list);
    return 0;
}

int print(int argc, char *argv[], bool cancel)
{
    QApplication application(argc, argv);
    QStringList lines;
    for (int index = 3; index < argc; ++index)
        lines.append(QString::fromLocal8Bit(argv[index]));
    QTextDocument document;
    document.setPlainText(lines.join(QLatin1Char('\n')));
    try {
        const bool printed = printing::Print(
            document, QString::fromLocal8Bit(argv[2]), [cancel](int, int) { return !cancel; });
        if (!printed) {
            std::printf("cancelled\n");
            return 0;
        }
    } catch (const Exception &error) {
        std::printf("%s\n", error.Message().toUtf8().constData());
        return 1;
    }
    std::printf("printed\n");
    return 0;
}

}   // namespace

int main(int argc, char *argv[])
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "listen" && argc == 4)
        return listen(argv[2], argv[3]);
    if (command == "jobs" && argc == 2)
        return jobs();
    if ((command == "print" || command == "cancel") && argc >= 3)
        return print(argc, argv, command == "cancel");
    std::fprintf(stderr,
        "usage: cups_probe listen PORT_FILE FOLDER | jobs | print TITLE LINE... | cancel TITLE LINE...\n");
    return 2;
}
