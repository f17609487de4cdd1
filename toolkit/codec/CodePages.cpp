#include "codec/CodePages.h"

#include "codec/CodePageTables.h"

#include <algorithm>

namespace codec {

namespace {

constexpr char16_t replacement = 0xFFFD;

const tables::SingleBytePage *FindSingle(int number)
{
    for (int i = 0; i < tables::singleBytePageCount; ++i) {
        if (tables::singleBytePages[i].number == number)
            return &tables::singleBytePages[i];
    }
    return nullptr;
}

const tables::DoubleBytePage *FindDouble(int number)
{
    for (int i = 0; i < tables::doubleBytePageCount; ++i) {
        if (tables::doubleBytePages[i].number == number)
            return &tables::doubleBytePages[i];
    }
    return nullptr;
}

// Mac pages that Python has no table for read as their Windows cousins, as word
// processors read them: the CJK ones differ only in a handful of symbols, Mac Hebrew
// has its letters where 1255 has them, and Mac Thai follows TIS-620 as 874 does.
int WindowsCousinOf(int number)
{
    switch (number) {
    case 10001:
        return 932;
    case 10002:
        return 950;
    case 10003:
        return 949;
    case 10005:
        return 1255;
    case 10008:
        return 936;
    case 10021:
        return 874;
    default:
        return number;
    }
}

// Decodes UTF-8, giving one U+FFFD for each maximal invalid subsequence.
qsizetype DecodeUtf8(const unsigned char *p, const unsigned char *end, QChar *out)
{
    QChar *const start = out;
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            *out++ = QChar(char16_t(b));
            ++p;
            continue;
        }
        int needed = 0;
        char32_t value = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            needed = 1;
            value = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            needed = 2;
            value = b & 0x0F;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            needed = 3;
            value = b & 0x07;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F;
        } else {
            *out++ = QChar(replacement);
            ++p;
            continue;
        }
        ++p;
        bool valid = true;
        for (int i = 0; i < needed; ++i) {
            if (p == end || *p < low || *p > high) {
                valid = false;
                break;
            }
            value = (value << 6) | (*p & 0x3F);
            ++p;
            low = 0x80;
            high = 0xBF;
        }
        if (!valid) {
            *out++ = QChar(replacement);
        } else if (value > 0xFFFF) {
            *out++ = QChar::highSurrogate(value);
            *out++ = QChar::lowSurrogate(value);
        } else {
            *out++ = QChar(char16_t(value));
        }
    }
    return out - start;
}

}   // namespace

CodePage CodePage::forNumber(int number)
{
    if (number == utf8)
        return CodePage(number, Kind::Utf8, nullptr, nullptr);
    if (number == symbol)
        return CodePage(number, Kind::Symbol, nullptr, nullptr);
    if (const tables::SingleBytePage *page = FindSingle(WindowsCousinOf(number)))
        return CodePage(number, Kind::SingleByte, page, nullptr);
    if (const tables::DoubleBytePage *page = FindDouble(WindowsCousinOf(number)))
        return CodePage(number, Kind::DoubleByte, nullptr, page);
    return CodePage(1252, Kind::SingleByte, FindSingle(1252), nullptr);
}

int CodePage::numberForCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return symbol;
    case 77:
        return 10000;
    case 78:
        return 10001;
    case 79:
        return 10003;
    case 80:
        return 10008;
    case 81:
        return 10002;
    case 83:
        return 10005;
    case 84:
        return 10004;
    case 85:
        return 10006;
    case 86:
        return 10081;
    case 87:
        return 10021;
    case 88:
        return 10029;
    case 89:
        return 10007;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

CodePage CodePage::forCharset(int charset, CodePage fallback)
{
    const int number = numberForCharset(charset);
    return number == 0 ? fallback : forNumber(number);
}

bool CodePage::isLeadByte(unsigned char byte) const
{
    return kind_ == Kind::DoubleByte && double_->rowOfLead[byte] != 0;
}

void CodePage::decode(QByteArrayView bytes, QString &out) const
{
    const qsizetype old = out.size();
    out.resize(old + bytes.size());
    const qsizetype written = decode(bytes, out.data() + old);
    out.resize(old + written);
}

qsizetype CodePage::decode(QByteArrayView bytes, QChar *out) const
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    QChar *const start = out;
    switch (kind_) {
    case Kind::Utf8:
        return DecodeUtf8(p, end, out);
    case Kind::Symbol:
        for (; p < end; ++p)
            *out++ = QChar(char16_t(*p < 0x20 ? *p : 0xF000 + *p));
        return out - start;
    case Kind::SingleByte: {
        // A whole table for a long text: one load a byte, with no branch for the
        // letters beyond ASCII that Romanian text holds every few words.
        if (bytes.size() > 1024) {
            char16_t whole[256];
            for (int byte = 0; byte < 0x80; ++byte)
                whole[byte] = char16_t(byte);
            std::copy_n(single_->upperHalf, 0x80, whole + 0x80);
            for (; p < end; ++p)
                *out++ = QChar(whole[*p]);
            return out - start;
        }
        for (; p < end; ++p)
            *out++ = QChar(*p < 0x80 ? char16_t(*p) : single_->upperHalf[*p - 0x80]);
        return out - start;
    }
    case Kind::DoubleByte:
        break;
    }
    while (p < end) {
        const unsigned char lead = *p++;
        const int row = double_->rowOfLead[lead];
        if (row == 0) {
            *out++ = QChar(double_->single[lead]);
            continue;
        }
        if (p == end) {
            *out++ = QChar(replacement);
            break;
        }
        const unsigned char trail = *p;
        char16_t value = 0;
        if (trail >= tables::firstTrail)
            value = double_->pairs[(row - 1) * tables::trailCount + (trail - tables::firstTrail)];
        if (value != 0) {
            *out++ = QChar(value);
            ++p;
        } else {
            // An ASCII byte after a lead byte is a character of its own again.
            *out++ = QChar(replacement);
            if (trail >= 0x80)
                ++p;
        }
    }
    return out - start;
}

}   // namespace codec
