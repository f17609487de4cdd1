#include "DocumentFile.h"

#include "PlainText.h"
#include "RtfReader.h"

namespace codec {

RichDocument readDocument(QByteArrayView bytes)
{
    return looksLikeRtf(bytes) ? readRtf(bytes) : readPlainText(bytes);
}

}   // namespace codec
