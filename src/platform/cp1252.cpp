// The two single-byte pages converted without the C library: windows-1252
// and ISO-8859-1. Both agree with Latin-1 except in 0x80..0x9F, where 1252
// has printable characters. Its five unassigned bytes there (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the C1 control of the same value, which is what
// the reference platform's converter does with them.

#include "platform/decoders.h"

namespace lum::platform::detail {

namespace {

constexpr wchar_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

inline std::size_t Smaller(std::size_t a, std::size_t b) { return a < b ? a : b; }

}  // namespace

wchar_t Cp1252ToWide(unsigned char byte) {
    return (byte & 0xE0) == 0x80 ? kCp1252High[byte - 0x80] : static_cast<wchar_t>(byte);
}

DecodeStep DecodeCp1252(const unsigned char* in, std::size_t count, wchar_t* out, std::size_t capacity) {
    const std::size_t n = Smaller(count, capacity);
    for (std::size_t i = 0; i < n; ++i) out[i] = Cp1252ToWide(in[i]);
    return {n, n, n == count};
}

DecodeStep DecodeLatin1(const unsigned char* in, std::size_t count, wchar_t* out, std::size_t capacity) {
    const std::size_t n = Smaller(count, capacity);
    for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<wchar_t>(in[i]);
    return {n, n, n == count};
}

}  // namespace lum::platform::detail
