#include "DocumentChecks.h"
#include "codec/rtf/Reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    fuzz::checkDocument(codec::ReadRtf(bytes));
    return 0;
}
