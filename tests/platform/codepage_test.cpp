#include "platform/codepage.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <string_view>

namespace lum::platform {
namespace {

// Converts through all three entry points and insists that they agree: the
// count pass, the bounded conversion and the appending one.
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

constexpr std::wstring_view kGreeting = L"Gr\u00FC\u00DFe \u20AC";

TEST(CodePageTest, Utf8DecodesValidTextIncludingNulAndAstralCharacters) {
    EXPECT_EQ(Convert(65001, "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"), kGreeting);
    EXPECT_EQ(Convert(65001, "\xF0\x9F\x98\x80!"), L"\U0001F600!");
    EXPECT_EQ(Convert(65001, "\xF4\x8F\xBF\xBF"), L"\U0010FFFF");
    EXPECT_EQ(Convert(65001, std::string_view("a\0b", 3)), std::wstring(L"a\0b", 3));
    EXPECT_EQ(Convert(65001, ""), L"");
}

TEST(CodePageTest, Utf8ReplacesEachMaximalInvalidSubpartAndGoesOn) {
    struct Case {
        std::string_view bytes;
        std::wstring_view expected;
    };
    const Case cases[] = {
        {"a\x80" "b", L"a\uFFFDb"},                       // stray continuation byte
        {"\xE2\x82", L"\uFFFD"},                          // truncated by the end: one U+FFFD
        {"\xE2\x82z\xC3\xA9", L"\uFFFDz\u00E9"},          // broken off, then a good character
        {"\xF0\x9F\x98!", L"\uFFFD!"},                    // truncated four-byte form
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                    // overlong: C0 is no lead byte
        {"\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},          // overlong three-byte form
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},          // surrogate D800
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
        {"\xF5\x80", L"\uFFFD\uFFFD"},                    // F5 starts nothing
        {"\xFFx\xC2", L"\uFFFDx\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Convert(65001, c.bytes), c.expected) << "bytes: " << testing::PrintToString(std::string(c.bytes));
    }
}

TEST(CodePageTest, SingleBytePagesOfOurOwn) {
    EXPECT_EQ(Convert(1252, "Gr\xFC\xDF" "e \x80"), kGreeting);
    EXPECT_EQ(Convert(1252, "\x80\x8A\x9F\x82\x99"), L"\u20AC\u0160\u0178\u201A\u2122");
    // The five unassigned bytes become the C1 control of the same value.
    EXPECT_EQ(Convert(1252, "\x81\x8D\x8F\x90\x9D"), L"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(Convert(28591, "\xE9\x80\xFF"), L"\u00E9\u0080\u00FF");
    EXPECT_EQ(ActiveAnsiCodePage(), 1252u);
    EXPECT_EQ(Convert(0, "\x80"), L"\u20AC");  // 0 names the ANSI code page
}

TEST(CodePageTest, OtherPagesGoThroughIconv) {
    EXPECT_EQ(Convert(1251, "\xC0\xFF"), L"\u0410\u044F");
    // iconv joins a letter and the combining mark after it; appending must
    // not split them where the ASCII run ends.
    if (IconvKnows("CP1258")) {
        EXPECT_EQ(Convert(1258, "xy\xCC"), L"x\u1EF3");
    }
    if (!IconvKnows("CP932") && !IconvKnows("WINDOWS-31J")) GTEST_SKIP() << "iconv lacks code page 932";
    EXPECT_EQ(Convert(932, "a\x82\xA0" "b"), L"a\u3042b");
    EXPECT_EQ(Convert(936, "\xC4\xE3"), L"\u4F60");
    // A lead byte cut off by the end, or followed by a byte that cannot
    // trail it, is replaced and conversion goes on with the next byte.
    EXPECT_EQ(Convert(932, "x\x82"), L"x\uFFFD");
    EXPECT_EQ(Convert(932, "\x82 \x82\xA0"), L"\uFFFD \u3042");
    // Long enough to need several rounds of the count pass and of appending.
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "\x82\xA0z";
    const std::wstring wide = Convert(932, many);
    ASSERT_EQ(wide.size(), 2000u);
    EXPECT_EQ(wide.substr(1996), L"\u3042z\u3042z");
}

TEST(CodePageTest, UnknownPageConvertsAs1252) {
    EXPECT_EQ(Convert(59999, "Gr\xFC\xDF" "e \x80"), kGreeting);
    EXPECT_TRUE(IsAsciiTransparent(59999));
}

TEST(CodePageTest, BoundedConversionStopsAtCapacity) {
    wchar_t out[6] = {L'#', L'#', L'#', L'#', L'#', L'#'};
    EXPECT_EQ(MultiByteToWide(65001, "h\xC3\xA9llo", 6, out, 3), 3u);
    EXPECT_EQ(std::wstring_view(out, 4), L"h\u00E9l#");
    EXPECT_EQ(MultiByteToWide(1252, "abcdef", 6, out, 2), 2u);
    EXPECT_EQ(out[2], L'l');
    EXPECT_EQ(MultiByteToWide(1251, "\xC0\xC1\xC2", 3, out, 2), 2u);
    EXPECT_EQ(std::wstring_view(out, 3), L"\u0410\u0411l");
}

TEST(CodePageTest, AppendKeepsWhatIsThere) {
    std::wstring text = L"old ";
    AppendMultiByte(text, 65001, "new \xE2\x82\xAC", 7);
    AppendMultiByte(text, 1251, " \xC0", 2);
    AppendMultiByte(text, 1252, "", 0);
    EXPECT_EQ(text, L"old new \u20AC \u0410");
}

TEST(CodePageTest, SingleByteConversion) {
    EXPECT_EQ(ConvertSingleByte(65001, 'A'), L'A');
    EXPECT_EQ(ConvertSingleByte(65001, 0xC3), L'\uFFFD');
    EXPECT_EQ(ConvertSingleByte(65001, 0), L'\0');
    // Alternating pages must not serve one page's table for the other.
    EXPECT_EQ(ConvertSingleByte(1252, 0x80), L'\u20AC');
    EXPECT_EQ(ConvertSingleByte(28591, 0x80), L'\u0080');
    EXPECT_EQ(ConvertSingleByte(1252, 0x9F), L'\u0178');
    EXPECT_EQ(ConvertSingleByte(1251, 0xC0), L'\u0410');
    EXPECT_EQ(ConvertSingleByte(1252, 0), L'\0');
    if (!IconvKnows("CP932") && !IconvKnows("WINDOWS-31J")) GTEST_SKIP() << "iconv lacks code page 932";
    EXPECT_EQ(ConvertSingleByte(932, 0x82), L'\uFFFD');    // a lead byte alone
    EXPECT_EQ(ConvertSingleByte(932, 0xB1), L'\uFF71');    // half-width katakana
}

TEST(CodePageTest, AsciiTransparency) {
    EXPECT_TRUE(IsAsciiTransparent(65001));
    EXPECT_TRUE(IsAsciiTransparent(1252));
    EXPECT_TRUE(IsAsciiTransparent(28591));
    EXPECT_TRUE(IsAsciiTransparent(1251));
    if (IconvKnows("CP037")) {
        EXPECT_FALSE(IsAsciiTransparent(37));  // EBCDIC
        EXPECT_EQ(Convert(37, "\xC1\x40"), L"A ");
    }
    if (IconvKnows("UTF-7")) {
        EXPECT_FALSE(IsAsciiTransparent(65000));  // '+' opens a shift
    }
}

}  // namespace
}  // namespace lum::platform
