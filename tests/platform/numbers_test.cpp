#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdarg>
#include <locale>
#include <string>

#include "platform/file_names.h"
#include "platform/wide_format.h"

namespace lum::platform {
namespace {

TEST(NumbersTest, WideToDoubleReadsTheLongestDecimalPrefix) {
    EXPECT_EQ(WideToDouble(L"3.5"), 3.5);
    EXPECT_EQ(WideToDouble(L" \t\n-2.25e2xyz"), -225.0);
    EXPECT_EQ(WideToDouble(L"+.5"), 0.5);
    EXPECT_EQ(WideToDouble(L"5."), 5.0);
    EXPECT_EQ(WideToDouble(L"1.5e"), 1.5);   // an exponent without digits is not part of it
    EXPECT_EQ(WideToDouble(L"2e+x"), 2.0);
    EXPECT_EQ(WideToDouble(L"7E-1"), 0.7);
    EXPECT_EQ(WideToDouble(L"1.2.3"), 1.2);
    EXPECT_EQ(WideToDouble(L"3,5"), 3.0);
    for (const wchar_t* none : {L"", L"abc", L"+", L"-.e1", L".", L" x1"}) {
        EXPECT_EQ(WideToDouble(none), 0.0) << none;
    }
}

TEST(NumbersTest, WideToDoubleSpecialValuesAndRange) {
    EXPECT_EQ(WideToDouble(L"INF"), HUGE_VAL);
    EXPECT_EQ(WideToDouble(L"-Infinity"), -HUGE_VAL);
    EXPECT_TRUE(std::isnan(WideToDouble(L" nan")));
    EXPECT_EQ(WideToDouble(L"1e400"), HUGE_VAL);
    EXPECT_EQ(WideToDouble(L"-1000e306"), -HUGE_VAL);
    EXPECT_EQ(WideToDouble(L"0.0001e310"), 1e306);
    EXPECT_EQ(WideToDouble(L"1e-400"), 0.0);
    EXPECT_EQ(WideToDouble(L"123e-330"), 0.0);
    EXPECT_GT(WideToDouble(L"1e-310"), 0.0);  // subnormal, still in range
    EXPECT_TRUE(std::signbit(WideToDouble(L"-0")));
}

TEST(NumbersTest, WideToIntStopsAtTheFirstNonDigitAndSaturates) {
    EXPECT_EQ(WideToInt(L"42"), 42);
    EXPECT_EQ(WideToInt(L" \t-17abc"), -17);
    EXPECT_EQ(WideToInt(L"+5"), 5);
    EXPECT_EQ(WideToInt(L"12.9"), 12);
    EXPECT_EQ(WideToInt(L"abc"), 0);
    EXPECT_EQ(WideToInt(L"-"), 0);
    EXPECT_EQ(WideToInt(L"2147483647"), INT_MAX);
    EXPECT_EQ(WideToInt(L"2147483648"), INT_MAX);
    EXPECT_EQ(WideToInt(L"-2147483648"), INT_MIN);
    EXPECT_EQ(WideToInt(L"-99999999999999999999"), INT_MIN);
}

std::wstring Fmt(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    wchar_t out[64];
    FormatInto(out, 64, format, args);
    va_end(args);
    return out;
}

// A decimal comma in the C++ global locale must change nothing.
TEST(NumbersTest, IgnoresTheGlobalCppLocale) {
    struct Comma : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
    };
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new Comma));
    EXPECT_EQ(WideToDouble(L"3.5"), 3.5);
    EXPECT_EQ(Fmt(L"%f", 3.5), L"3.500000");
    std::locale::global(previous);
}

// Nor may a decimal comma in the C locale.
TEST(NumbersTest, IgnoresTheCLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* found = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            found = name;
            break;
        }
    }
    if (found == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    const double value = WideToDouble(L"3.5");
    const std::wstring text = Fmt(L"%f|%.1e|%g", 3.5, 1.5, 0.25);
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(value, 3.5);
    EXPECT_EQ(text, L"3.500000|1.5e+00|0.25");
}

TEST(FileNamesTest, WideNamesBecomeUtf8) {
    EXPECT_EQ(ToFileSystemName(L"dir/Gr\u00FC\u00DFe \u20AC.txt"), "dir/Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC.txt");
    EXPECT_EQ(ToFileSystemName(L"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
    std::wstring odd = L"a";
    odd += static_cast<wchar_t>(0xD800);  // lone high surrogate
    odd += L'b';
    odd += static_cast<wchar_t>(0xDC00);  // lone low surrogate
    odd += static_cast<wchar_t>(0x110000);
    odd += static_cast<wchar_t>(0xD83D);  // a pair: U+1F600
    odd += static_cast<wchar_t>(0xDE00);
    EXPECT_EQ(ToFileSystemName(odd), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80");
    EXPECT_EQ(ToFileSystemName(L""), "");
}

}  // namespace
}  // namespace lum::platform
