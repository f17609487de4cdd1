#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// How much memory this process may still take, so that a load that would not fit
// is refused with a report instead of ending in a crash halfway through.
namespace memory {

// The bytes the system can still give this process: the memory it calls available,
// and, where set, what the address-space and data limits leave. -1 when unknown.
qint64 AvailableBytes();

// What is missing when `needed` bytes cannot be had, in whole megabytes.
struct Shortage {
    qint64 neededMegabytes = 0;
    qint64 availableMegabytes = 0;
};

// The shortage when `needed` bytes cannot be had; none when they can, or when the
// memory left is not known.
std::optional<Shortage> Shortfall(qint64 needed);

}   // namespace memory
