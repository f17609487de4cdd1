#include "system/Memory.h"

#include <QFile>

#include <algorithm>
#include <limits>

#if defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX   // std::min and std::max below, not the macros
#endif
#include <windows.h>
#elif defined(Q_OS_UNIX)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace memory {

namespace {

constexpr qint64 unknown = -1;

#if defined(Q_OS_LINUX)
// A "Name:   1234 kB" line of a /proc file, in bytes; `unknown` if it is missing.
qint64 ProcKilobytes(const char *file, const QByteArray &name)
{
    QFile proc(QString::fromLatin1(file));
    if (!proc.open(QIODevice::ReadOnly))
        return unknown;
    // Files in /proc report a size of 0: read them whole rather than by size.
    const QByteArray text = proc.readAll();
    const qsizetype at = text.indexOf("\n" + name + ':');
    const qsizetype start = at < 0 ? (text.startsWith(name + ':') ? 0 : -1) : at + 1;
    if (start < 0)
        return unknown;
    const qsizetype end = text.indexOf('\n', start);
    const QByteArray value
        = text.mid(start + name.size() + 1, end - start - name.size() - 1).trimmed().replace(" kB", "");
    bool ok = false;
    const qint64 kilobytes = value.toLongLong(&ok);
    return ok ? kilobytes * 1024 : unknown;
}
#endif

#if defined(Q_OS_UNIX)
// What a resource limit leaves beside `used`; `unknown` where there is no limit.
qint64 LeftUnder(int resource, qint64 used)
{
    struct rlimit limit { };
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY || used < 0)
        return unknown;
    const qint64 cap = limit.rlim_cur > rlim_t(std::numeric_limits<qint64>::max())
        ? std::numeric_limits<qint64>::max()
        : qint64(limit.rlim_cur);
    return std::max<qint64>(cap - used, 0);
}
#endif

// The smaller of two figures, either of which may be unknown.
qint64 Smaller(qint64 a, qint64 b)
{
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return std::min(a, b);
}

}   // namespace

qint64 AvailableBytes()
{
    qint64 available = unknown;
#if defined(Q_OS_WIN)
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status)) {
        // A 32-bit process runs out of address space long before memory.
        available = Smaller(qint64(status.ullAvailPhys), qint64(status.ullAvailVirtual));
    }
#elif defined(Q_OS_LINUX)
    available = ProcKilobytes("/proc/meminfo", "MemAvailable");
    available = Smaller(available, LeftUnder(RLIMIT_AS, ProcKilobytes("/proc/self/status", "VmSize")));
    available = Smaller(available, LeftUnder(RLIMIT_DATA, ProcKilobytes("/proc/self/status", "VmData")));
#elif defined(Q_OS_UNIX)
#if defined(_SC_AVPHYS_PAGES)
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        available = qint64(pages) * pageSize;
#endif
#endif
    return available;
}

std::optional<Shortage> Shortfall(qint64 needed)
{
    const qint64 available = AvailableBytes();
    if (available < 0 || needed <= available)
        return std::nullopt;
    return Shortage { (needed + (1 << 20) - 1) >> 20, available >> 20 };
}

}   // namespace memory
