#include "DocumentChecks.h"
#include "codec/PlainText.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const codec::RichDocument document = codec::ReadPlainText(bytes);
    fuzz::checkDocument(document);
    fuzz::require(document.runs.empty(), "plain text came back formatted");
    // Each byte gives at most one UTF-16 unit, plus the last paragraph's end.
    fuzz::require(document.text.size() <= qsizetype(size) + 1, "plain text grew");
    return 0;
}
