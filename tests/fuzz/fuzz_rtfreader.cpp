#include "DocumentChecks.h"
#include "RtfReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    fuzz::checkDocument(codec::readRtf(bytes));
    return 0;
}
