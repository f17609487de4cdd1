#pragma once

namespace codec {

// The digits of \'hh escapes, as the writer spells them.
constexpr char hexDigits[] = "0123456789abcdef";

// The value of one hexadecimal digit in either case, or -1.
constexpr int HexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}   // namespace codec
