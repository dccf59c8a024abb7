#include "platform/wide_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace lum::platform {
namespace {

// Formats with the counting pass and the writing pass over the same
// arguments, and checks that they agree.
std::wstring Fmt(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    va_list counting;
    va_copy(counting, args);
    const std::size_t length = FormattedLength(format, counting);
    va_end(counting);
    std::wstring out(length + 2, L'#');
    const std::size_t written = FormatInto(out.data(), length + 1, format, args);
    va_end(args);
    EXPECT_EQ(written, length) << "counting and writing passes disagree";
    EXPECT_EQ(out[length], L'\0');
    EXPECT_EQ(out[length + 1], L'#') << "wrote past the capacity";
    out.resize(length);
    return out;
}

TEST(WideFormatTest, Texts) {
    EXPECT_EQ(Fmt(L"[%s|%ls|%ws]", L"wide", L"long", L"w"), L"[wide|long|w]");
    EXPECT_EQ(Fmt(L"[%hs|%S]", "narrow", "upper"), L"[narrow|upper]");
    EXPECT_EQ(Fmt(L"%hs", "Gr\xC3\xBC\xC3\x9F" "e"), L"Gr\u00FC\u00DFe");  // narrow texts are UTF-8
    EXPECT_EQ(Fmt(L"%s %hs", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)),
              L"(null) (null)");
    EXPECT_EQ(Fmt(L"[%.3s|%6s|%-6s|%05s]", L"abcdef", L"ab", L"ab", L"ab"), L"[abc|    ab|ab    |000ab]");
    // A precision counts characters, not bytes, and bounds the reading.
    const char unterminated[3] = {'\xC3', '\xA9', 'x'};
    EXPECT_EQ(Fmt(L"%.2hs", unterminated), L"\u00E9");
}

TEST(WideFormatTest, Characters) {
    EXPECT_EQ(Fmt(L"%c%lc%hc%C", L'\u00E9', L'\u20AC', 'a', 'b'), L"\u00E9\u20ACab");
    EXPECT_EQ(Fmt(L"[%3c|%-3c]", L'x', L'y'), L"[  x|y  ]");
    EXPECT_EQ(Fmt(L"%hc", '\xE9'), L"\uFFFD");  // one byte of UTF-8 cannot be é
}

TEST(WideFormatTest, Integers) {
    EXPECT_EQ(Fmt(L"(%d , %d)", 3, -4), L"(3 , -4)");
    EXPECT_EQ(Fmt(L"[%-5d|%5d|%05d|%+d|% d|%.3d|%.0d]", 42, 42, -42, 7, 7, 5, 0), L"[42   |   42|-0042|+7| 7|005|]");
    EXPECT_EQ(Fmt(L"%x %X %#x %#o %#x %o", 255u, 255u, 255u, 8u, 0u, 0u), L"ff FF 0xff 010 0 0");
    EXPECT_EQ(Fmt(L"%u", -1), L"4294967295");
    EXPECT_EQ(Fmt(L"%lld %I64d", std::numeric_limits<long long>::min(), 1234567890123LL),
              L"-9223372036854775808 1234567890123");
    EXPECT_EQ(Fmt(L"%zu %I32d %ld %jd", std::size_t{7}, -5, -6L, std::intmax_t{8}), L"7 -5 -6 8");
    EXPECT_EQ(Fmt(L"%hhd %hu", 300, 70000), L"44 4464");
    EXPECT_EQ(Fmt(L"%08.3d|", 5), L"     005|");  // a precision turns the 0 flag off
    EXPECT_EQ(Fmt(L"%p", reinterpret_cast<void*>(0xABCD)).back(), L'D');
}

TEST(WideFormatTest, FloatingPoint) {
    EXPECT_EQ(Fmt(L"%f", 3.5), L"3.500000");
    EXPECT_EQ(Fmt(L"[%5.2f|%-8.1f|%010.3f|%+.1f]", 3.14159, 2.0, -3.14159, 1.25), L"[ 3.14|2.0     |-00003.142|+1.2]");
    EXPECT_EQ(Fmt(L"%.0f %.0f %#.0f", 2.5, 3.5, 2.0), L"2 4 2.");
    EXPECT_EQ(Fmt(L"%e %E %.2e", 12345.678, 0.00012, 0.0), L"1.234568e+04 1.200000E-04 0.00e+00");
    EXPECT_EQ(Fmt(L"%g %g %G %g %#g", 100000.0, 1000000.0, 1e-10, 0.0001, 1.5), L"100000 1e+06 1E-10 0.0001 1.50000");
    EXPECT_EQ(Fmt(L"%a %A %.1a", 1.0, 3.0, 1.0), L"0x1p+0 0X1.8P+1 0x1.0p+0");
    EXPECT_EQ(Fmt(L"%f", -0.0), L"-0.000000");
    EXPECT_EQ(Fmt(L"%Lf", 1.5L), L"1.500000");
    EXPECT_EQ(Fmt(L"%.2f", 1e300).size(), 304u);  // longer than any fixed buffer of a few dozen
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Fmt(L"%f %F %e %+g %05f", inf, -inf, std::nan(""), inf, inf), L"inf -INF nan +inf   inf");
}

TEST(WideFormatTest, StarsPercentAndOddDirectives) {
    EXPECT_EQ(Fmt(L"[%*d|%-*d|%*d|%.*f]", 4, 1, 3, 2, -3, 3, 2, 1.0), L"[   1|2  |3  |1.00]");
    EXPECT_EQ(Fmt(L"100%% %d", 5), L"100% 5");
    int stored = 17;
    EXPECT_EQ(Fmt(L"a%nb%d", &stored, 9), L"ab9");  // %n takes its pointer and stores nothing
    EXPECT_EQ(stored, 17);
    EXPECT_EQ(Fmt(L"%y %d", 1), L"%y 1");  // unknown conversions are written as they stand
    EXPECT_EQ(Fmt(L"tail %-5"), L"tail %-5");
}

TEST(WideFormatTest, NoFixedLimit) {
    const std::wstring big(100000, L'x');
    EXPECT_EQ(Fmt(L"<%s>", big.c_str()), L"<" + big + L">");
    EXPECT_EQ(Fmt(L"%100000d", 1).size(), 100000u);
}

std::size_t FormatIntoCapacity(wchar_t* out, std::size_t capacity, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const std::size_t length = FormatInto(out, capacity, format, args);
    va_end(args);
    return length;
}

TEST(WideFormatTest, FormatIntoCutsSafely) {
    wchar_t out[8];
    std::fill(std::begin(out), std::end(out), L'#');
    EXPECT_EQ(FormatIntoCapacity(out, 5, L"%s %d", L"hello", 12345), 11u);
    EXPECT_EQ(std::wstring_view(out, 6), std::wstring_view(L"hell\0#", 6));
    EXPECT_EQ(FormatIntoCapacity(out, 1, L"%d", 7), 1u);
    EXPECT_EQ(out[0], L'\0');
    EXPECT_EQ(out[1], L'e');
    EXPECT_EQ(FormatIntoCapacity(nullptr, 0, L"%f", 1.0), 8u);
}

}  // namespace
}  // namespace lum::platform
