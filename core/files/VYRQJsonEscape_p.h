#pragma once

// The four hexadecimal digits of a JSON \u escape, read by the page reader and by the
// check for lone surrogates before jsoncpp's own reader.
namespace vyr {

// The code unit of the four hex digits at p (the caller checked that four bytes are
// there); -1 on a non-digit.
inline long jsonEscapeUnit(const char* p)
{
    long unit = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = p[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return -1;
        unit = unit * 16 + d;
    }
    return unit;
}

} // namespace vyr
