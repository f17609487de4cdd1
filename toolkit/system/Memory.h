#pragma once

#include <QString>
#include <QtGlobal>

// How much memory this process may still take, so that a load that would not fit
// is refused with a report instead of ending in a crash halfway through.
namespace memory {

// The bytes the system can still give this process: the memory it calls available,
// and, where set, what the address-space and data limits leave. -1 when unknown.
qint64 AvailableBytes();

// Why `needed` bytes cannot be had, in words fit to show the user ("The file needs
// about N MB of memory; M MB are available"); empty when they can, or when unknown.
QString Shortfall(qint64 needed, const QString &what);

}   // namespace memory
