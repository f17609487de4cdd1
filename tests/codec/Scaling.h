#pragma once

#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <ctime>
#include <functional>
#include <limits>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace scaling {

// Linear work takes about 4 times as long on 4 times the input, quadratic work 16 times.
constexpr double linearGrowthBound = 8.0;

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
    // Processor time: what other programs on a busy machine take is not counted. Windows
    // counts it only in scheduler ticks, and its clock() is the wall clock in
    // milliseconds, which reads a fast run as none: there the wall clock's nanoseconds
    // count, and taking the fastest run leaves the machine's pauses out.
    const auto time = [&work](const QByteArray &bytes) {
#ifdef Q_OS_WIN
        QElapsedTimer clock;
        clock.start();
        work(bytes);
        return clock.nsecsElapsed();
#else
        const std::clock_t start = std::clock();
        work(bytes);
        return qint64(double(std::clock() - start) * 1e9 / CLOCKS_PER_SEC);
#endif
    };
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
#endif
    QByteArray small = input(n);
    while (time(small) < 2'000'000 && small.size() < (1 << 20) && n < (1 << 20)) {
        n *= 2;
        small = input(n);
    }
    const QByteArray large = input(4 * n);
    time(large);   // the allocator settles on its sizes first
    qint64 fastestSmall = std::numeric_limits<qint64>::max();
    qint64 fastestLarge = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 5; ++round) {
        fastestSmall = std::min(fastestSmall, time(small));
        fastestLarge = std::min(fastestLarge, time(large));
    }
    // Below a tenth of a millisecond the clock measures noise, not growth.
    return double(fastestLarge) / double(std::max<qint64>(fastestSmall, 100'000));
}

}   // namespace scaling
