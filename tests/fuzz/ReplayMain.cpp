// Runs a fuzz target's entry point once on every file named, or found in the
// directories named, so that the ordinary build replays the corpus and every input
// that once broke a target. A fault aborts the process, and the test fails.
#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

int main(int argc, char **argv)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        // Git keeps no empty directory: a target without regressions has none.
        if (!QFileInfo::exists(path))
            continue;
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files.append(it.next());
        } else {
            files.append(path);
        }
    }
    std::sort(files.begin(), files.end());
    int replayed = 0;
    for (const QString &name : std::as_const(files)) {
        if (name.endsWith(QLatin1String(".md")))
            continue;
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qUtf8Printable(name));
            return 2;
        }
        // A copy of exactly the file's size, so that AddressSanitizer sees reads past its end.
        const QByteArray bytes = file.readAll();
        std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
        std::fprintf(stderr, "%s\n", qUtf8Printable(name));
        LLVMFuzzerTestOneInput(data.data(), data.size());
        ++replayed;
    }
    std::printf("replayed %d inputs\n", replayed);
    return replayed > 0 ? 0 : 3;
}
