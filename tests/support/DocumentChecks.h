#pragma once

#include "codec/RichDocument.h"

namespace support {

// What every reader promises about the document it returns (see RichDocument.h): the
// broken promise, or nullptr when all are kept.
const char *DocumentFault(const codec::RichDocument &document);

}   // namespace support
