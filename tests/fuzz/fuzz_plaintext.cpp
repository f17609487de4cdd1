#include "DocumentChecks.h"
#include "codec/PlainText.h"

#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    codec::TextEncoding encoding;
    const codec::RichDocument document = codec::ReadPlainText(bytes, &encoding);
    fuzz::checkDocument(document);
    fuzz::require(document.runs.empty(), "plain text came back formatted");
    // Each byte gives at most one UTF-16 unit, plus the last paragraph's end.
    fuzz::require(document.text.size() <= qsizetype(size) + 1, "plain text grew");

    const codec::ByteOrderMark mark = codec::FindByteOrderMark(bytes);
    if (mark.length != 0) {
        fuzz::require(encoding == mark.encoding, "a byte order mark was overruled");
        return 0;
    }
    bool ascii = true;
    bool zeroByte = false;
    for (std::size_t i = 0; i < size; ++i) {
        ascii = ascii && data[i] < 0x80;
        zeroByte = zeroByte || data[i] == 0;
    }
    const bool utf16 = encoding == codec::TextEncoding::Utf16LE || encoding == codec::TextEncoding::Utf16BE;
    fuzz::require(!utf16 || zeroByte, "UTF-16 without a mark or a zero byte");
    fuzz::require(
        !ascii || zeroByte || encoding == codec::TextEncoding::Utf8, "ASCII read as something else");
    if (encoding == codec::TextEncoding::Utf8) {
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString text = utf8(bytes);
        fuzz::require(!utf8.hasError(), "bytes that are not UTF-8 read as UTF-8");
    }
    return 0;
}
