#pragma once

#include <QByteArray>

#include <algorithm>
#include <ctime>
#include <functional>
#include <limits>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace scaling {

// Linear work takes about 4 times as long on 4 times the input, quadratic work 16 times.
constexpr double linearGrowthBound = 8.0;

// Processor time of the whole process, all its threads, in nanoseconds: what other
// programs on a busy machine take is not counted.
inline qint64 ProcessorNanoseconds()
{
#ifdef Q_OS_WIN
    // clock() is the wall clock there.
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    const auto ticks = [](const FILETIME &time) {
        return qint64(quint64(time.dwHighDateTime) << 32 | time.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) * 100;
#else
    return qint64(double(std::clock()) * 1e9 / CLOCKS_PER_SEC);
#endif
}

// How many times longer `work` takes on input(4 n) than on input(n). n is doubled
// first until one run takes long enough to time, or the input reaches a megabyte, or
// n does (an input that does not grow with n, such as an empty file repeated).
// The fastest of a few alternating runs counts.
//
// The allocator is told to keep what it was given: otherwise it hands out the larger
// buffers as fresh pages each run, whose first touch costs more per byte than the
// work itself (on virtual machines many times more), and the small input's reused
// buffers would make linear work look quadratic.
inline double GrowthOnFourTimesTheInput(const std::function<QByteArray(int)> &input,
    const std::function<void(const QByteArray &)> &work, int n = 1)
{
#ifdef Q_OS_WIN
    // Windows counts processor time in scheduler ticks of about 16 ms: each timing there
    // repeats the run until ten have passed, and takes one run's share.
    constexpr qint64 shortestTiming = 160'000'000;
    constexpr int rounds = 3;
#else
    constexpr qint64 shortestTiming = 0;
    constexpr int rounds = 5;
#endif
    const auto time = [&work](const QByteArray &bytes, qint64 atLeast) {
        const qint64 start = ProcessorNanoseconds();
        qint64 elapsed = 0;
        int runs = 0;
        do {
            work(bytes);
            ++runs;
            elapsed = ProcessorNanoseconds() - start;
        } while (elapsed < atLeast);
        return elapsed / runs;
    };
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
    QByteArray small = input(n);
    while (time(small, 0) < 2'000'000 && small.size() < (1 << 20) && n < (1 << 20)) {
        n *= 2;
        small = input(n);
    }
    const QByteArray large = input(4 * n);
    time(large, 0);   // the allocator settles on its sizes first
    qint64 fastestSmall = std::numeric_limits<qint64>::max();
    qint64 fastestLarge = std::numeric_limits<qint64>::max();
    for (int round = 0; round < rounds; ++round) {
        fastestSmall = std::min(fastestSmall, time(small, shortestTiming));
        fastestLarge = std::min(fastestLarge, time(large, shortestTiming));
    }
    // Below a tenth of a millisecond the clock measures noise, not growth.
    return double(fastestLarge) / double(std::max<qint64>(fastestSmall, 100'000));
}

}   // namespace scaling
