// The platform layer: code pages, numbers, file names, wide formatting and
// large zeroed blocks.
#include <gtest/gtest.h>
#include <iconv.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>
#include <string>
#include <string_view>

#include "platform/codepage.h"
#include "platform/file_names.h"
#include "platform/large_blocks.h"
#include "platform/numbers.h"
#include "platform/wide_format.h"

namespace lum::platform {
namespace {

// Converts through the count pass, the bounded conversion and the appending
// one, which must agree.
std::wstring Convert(unsigned int codePage, std::string_view bytes) {
    const std::size_t needed = MultiByteToWide(codePage, bytes.data(), bytes.size(), nullptr, 0);
    std::wstring converted(needed + 1, L'#');
    const std::size_t written = MultiByteToWide(codePage, bytes.data(), bytes.size(), converted.data(), needed + 1);
    EXPECT_EQ(written, needed) << "count pass and conversion disagree";
    EXPECT_EQ(converted[needed], L'#') << "wrote past the counted length";
    converted.resize(written);
    std::wstring appended = L">";
    AppendMultiByte(appended, codePage, bytes.data(), bytes.size());
    EXPECT_EQ(appended.substr(1), converted) << "AppendMultiByte disagrees";
    return converted;
}

bool IconvKnows(const char* name) {
    const iconv_t handle = iconv_open("WCHAR_T", name);
    if (handle == reinterpret_cast<iconv_t>(-1)) return false;
    iconv_close(handle);
    return true;
}

TEST(CodePage, ConvertsEachPageAndReplacesEachMaximalInvalidSubpart) {
    const struct {
        unsigned int page;
        std::string_view bytes;
        std::wstring_view expected;
    } cases[] = {
        {65001, "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", L"Gr\u00FC\u00DFe \u20AC"},
        {65001, "\xF0\x9F\x98\x80!\xF4\x8F\xBF\xBF", L"\U0001F600!\U0010FFFF"},
        {65001, std::string_view("a\0b", 3), std::wstring_view(L"a\0b", 3)},
        {65001, "", L""},
        {65001, "a\x80" "b", L"a\uFFFDb"},                         // stray continuation byte
        {65001, "\xE2\x82z\xC3\xA9", L"\uFFFDz\u00E9"},            // broken off, then a good character
        {65001, "\xF0\x9F\x98!", L"\uFFFD!"},                      // truncated four-byte form
        {65001, "\xC0\xAF", L"\uFFFD\uFFFD"},                      // overlong two-byte form
        {65001, "\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},            // overlong three-byte form
        {65001, "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},            // surrogate D800
        {65001, "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {1252, "Gr\xFC\xDF" "e \x80\x8A\x9F\x99", L"Gr\u00FC\u00DFe \u20AC\u0160\u0178\u2122"},
        {1252, "\x81\x8D\x8F\x90\x9D", L"\u0081\u008D\u008F\u0090\u009D"},  // unassigned: the C1 control
        {28591, "\xE9\x80\xFF", L"\u00E9\u0080\u00FF"},
        {0, "\x80", L"\u20AC"},                        // 0 names the ANSI code page
        {59999, "\xFC\x80", L"\u00FC\u20AC"},          // unknown pages read as 1252
        {1251, "abc \xC0\xFF", L"abc \u0410\u044F"},  // through iconv, after an ASCII run
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Convert(c.page, c.bytes), c.expected) << c.page << ": " << testing::PrintToString(std::string(c.bytes));
    }
    EXPECT_EQ(ActiveAnsiCodePage(), 1252u);
    if (IconvKnows("CP1258")) {
        EXPECT_EQ(Convert(1258, "xy\xCC"), L"x\u1EF3");  // a letter joined to its mark
    }
    if (!IconvKnows("CP932") && !IconvKnows("WINDOWS-31J")) GTEST_SKIP() << "iconv lacks code page 932";
    EXPECT_EQ(Convert(932, "a\x82\xA0" "b"), L"a\u3042b");
    EXPECT_EQ(Convert(932, "\x82 \x82\xA0x\x82"), L"\uFFFD \u3042x\uFFFD");
    std::string many;  // several rounds of the count pass and of appending
    for (int i = 0; i < 1000; ++i) many += "\x82\xA0z";
    const std::wstring wide = Convert(932, many);
    ASSERT_EQ(wide.size(), 2000u);
    EXPECT_EQ(wide.substr(1996), L"\u3042z\u3042z");
}

TEST(CodePage, BoundedAppendingAndSingleByteConversion) {
    wchar_t out[6] = {L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(MultiByteToWide(65001, "h\xC3\xA9llo", 6, out, 3), 3u);
    EXPECT_EQ(std::wstring_view(out, 4), L"h\u00E9l#");
    EXPECT_EQ(MultiByteToWide(1251, "\xC0\xC1\xC2", 3, out, 2), 2u);
    EXPECT_EQ(std::wstring_view(out, 3), L"\u0410\u0411l");
    std::wstring text = L"old ";
    AppendMultiByte(text, 65001, "new \xE2\x82\xAC", 7);
    AppendMultiByte(text, 1251, " \xC0", 2);
    EXPECT_EQ(text, L"old new \u20AC \u0410");
    // Alternating pages must not serve one page's table for the other.
    EXPECT_EQ(ConvertSingleByte(65001, 0xC3), L'\uFFFD');
    EXPECT_EQ(ConvertSingleByte(1252, 0x80), L'\u20AC');
    EXPECT_EQ(ConvertSingleByte(28591, 0x80), L'\u0080');
    EXPECT_EQ(ConvertSingleByte(1251, 0xC0), L'\u0410');
    EXPECT_TRUE(IsAsciiTransparent(65001) && IsAsciiTransparent(1251) && IsAsciiTransparent(59999));
    if (IconvKnows("CP037")) {
        EXPECT_FALSE(IsAsciiTransparent(37));  // EBCDIC
        EXPECT_EQ(Convert(37, "\xC1\x40"), L"A ");
    }
}

TEST(Numbers, ReadTheLongestDecimalPrefixSaturatingAtTheRange) {
    const struct {
        const wchar_t* text;
        double expected;
    } doubles[] = {
        {L" \t\n-2.25e2xyz", -225.0}, {L"+.5", 0.5}, {L"5.", 5.0}, {L"1.5e", 1.5}, {L"7E-1", 0.7},
        {L"1.2.3", 1.2}, {L"3,5", 3.0}, {L"19", 19.0}, {L"", 0.0}, {L"-.e1", 0.0}, {L" x1", 0.0},
        {L"INF", HUGE_VAL}, {L"-Infinity", -HUGE_VAL}, {L"1e400", HUGE_VAL}, {L"-1000e306", -HUGE_VAL},
        {L"0.0001e310", 1e306}, {L"1e-400", 0.0}, {L"123e-330", 0.0},
    };
    for (const auto& c : doubles) EXPECT_EQ(WideToDouble(c.text), c.expected) << c.text;
    EXPECT_TRUE(std::isnan(WideToDouble(L" nan")));
    EXPECT_GT(WideToDouble(L"1e-310"), 0.0);  // subnormal, still in range
    EXPECT_TRUE(std::signbit(WideToDouble(L"-0")));
    const struct {
        const wchar_t* text;
        int expected;
    } ints[] = {
        {L" \t-17abc", -17}, {L"+5", 5}, {L"12.9", 12}, {L"-", 0}, {L"2147483648", INT_MAX},
        {L"-2147483648", INT_MIN}, {L"-99999999999999999999", INT_MIN}, {L"99999999999999999999", INT_MAX},
    };
    for (const auto& c : ints) EXPECT_EQ(WideToInt(c.text), c.expected) << c.text;
}

TEST(FileNames, WideNamesBecomeUtf8) {
    EXPECT_EQ(ToFileSystemName(L"dir/Gr\u00FC\u00DFe \u20AC.txt"), "dir/Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC.txt");
    std::wstring odd = L"a";
    for (unsigned unit : {0xD800u, unsigned{'b'}, 0xDC00u, 0x110000u, 0xD83Du, 0xDE00u}) odd += static_cast<wchar_t>(unit);
    EXPECT_EQ(ToFileSystemName(odd), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

TEST(LargeBlocks, BlocksOfEverySizeAreZeroWritableAndAligned) {
    for (std::size_t bytes : {std::size_t{0}, std::size_t{24}, std::size_t{1} << 20, (std::size_t{1} << 20) + 1,
                              (std::size_t{5} << 20) + 4096 + 8}) {
        auto* block = static_cast<unsigned char*>(AllocateZeroed(bytes));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u);
        EXPECT_TRUE(std::all_of(block, block + bytes, [](unsigned char b) { return b == 0; })) << bytes;
        if (bytes > 0) std::memset(block, 0xAB, bytes);
        FreeZeroed(block, bytes);
    }
    FreeZeroed(nullptr, 1 << 20);  // ignored
}

std::size_t Into(wchar_t* out, std::size_t capacity, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const std::size_t length = FormatInto(out, capacity, format, args);
    va_end(args);
    return length;
}

// Formats with the counting pass and the writing pass, which must agree.
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
    EXPECT_EQ(out[length + 1], L'#') << "wrote past the capacity";
    out.resize(length);
    return out;
}

TEST(WideFormat, EveryConversionFlagWidthAndPrecision) {
    const double inf = std::numeric_limits<double>::infinity();
    int stored = 17;
    const std::pair<std::wstring, std::wstring> cases[] = {
        {Fmt(L"[%s|%ls|%hs|%S]", L"wide", L"long", "Gr\xC3\xBC\xC3\x9F" "e", "up"), L"[wide|long|Gr\u00FC\u00DFe|up]"},
        {Fmt(L"%s %hs", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)), L"(null) (null)"},
        {Fmt(L"[%.3s|%6s|%-6s|%05s]", L"abcdef", L"ab", L"ab", L"ab"), L"[abc|    ab|ab    |000ab]"},
        {Fmt(L"%c%lc%hc[%3c|%-3c]%hc", L'\u00E9', L'\u20AC', 'a', L'x', L'y', '\xE9'), L"\u00E9\u20ACa[  x|y  ]\uFFFD"},
        {Fmt(L"[%-5d|%5d|%05d|%+d|% d|%.3d|%.0d]", 42, 42, -42, 7, 7, 5, 0), L"[42   |   42|-0042|+7| 7|005|]"},
        {Fmt(L"%x %X %#x %#o %#x %o %-05d|", 255u, 255u, 255u, 8u, 0u, 8u, 3), L"ff FF 0xff 010 0 10 3    |"},
        {Fmt(L"%u %lld %zu %I32d %hhd %hu", -1, std::numeric_limits<long long>::min(), std::size_t{7}, -5, 300, 70000),
         L"4294967295 -9223372036854775808 7 -5 44 4464"},
        {Fmt(L"%08.3d|", 5), L"     005|"},  // a precision turns the 0 flag off
        {Fmt(L"[%5.2f|%-8.1f|%010.3f|%+.1f|%.0f|%#.0f]", 3.14159, 2.0, -3.14159, 1.25, 2.5, 2.0),
         L"[ 3.14|2.0     |-00003.142|+1.2|2|2.]"},
        {Fmt(L"%e %E %g %g %G %#g", 12345.678, 0.00012, 100000.0, 1000000.0, 1e-10, 1.5),
         L"1.234568e+04 1.200000E-04 100000 1e+06 1E-10 1.50000"},
        {Fmt(L"%a %A %f %Lf", 1.0, 3.0, -0.0, 1.5L), L"0x1p+0 0X1.8P+1 -0.000000 1.500000"},
        {Fmt(L"%f %F %e %+g %05f", inf, -inf, std::nan(""), inf, inf), L"inf -INF nan +inf   inf"},
        {Fmt(L"[%*d|%-*d|%*d|%.*f]", 4, 1, 3, 2, -3, 3, 2, 1.0), L"[   1|2  |3  |1.00]"},
        {Fmt(L"100%% %y a%nb %-5", &stored), L"100% %y ab %-5"},  // unknown and cut-short directives stand
    };
    for (const auto& [got, expected] : cases) EXPECT_EQ(got, expected);
    EXPECT_EQ(stored, 17);
    EXPECT_EQ(Fmt(L"%.2f", 1e300).size(), 304u);
    EXPECT_EQ(Fmt(L"%100000d", 1).size(), 100000u);
    wchar_t out[8];
    std::fill(std::begin(out), std::end(out), L'#');
    EXPECT_EQ(Into(out, 5, L"%s %d", L"hello", 12345), 11u) << "the length it would need";
    EXPECT_EQ(std::wstring_view(out, 6), std::wstring_view(L"hell\0#", 6));
    EXPECT_EQ(Into(nullptr, 0, L"%f", 1.0), 8u);
}

// Decimal commas in the C++ global locale or in the C locale change nothing.
TEST(Numbers, IgnoreTheLocales) {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Comma));
    EXPECT_EQ(WideToDouble(L"3.5"), 3.5);
    EXPECT_EQ(Fmt(L"%f", 3.5), L"3.500000");
    std::locale::global(previous);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no locale with a decimal comma";
    const double value = WideToDouble(L"3.5");
    const std::wstring text = Fmt(L"%f|%.1e|%g", 3.5, 1.5, 0.25);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(value, 3.5);
    EXPECT_EQ(text, L"3.500000|1.5e+00|0.25");
}

}  // namespace
}  // namespace lum::platform
