#include <gtest/gtest.h>

#include <clocale>

#include "lum/text/wstring.h"

using lum::WString;

namespace {

// Restores the code page a test changed.
struct PageGuard {
    unsigned int saved = WString::GetLocalePage();
    ~PageGuard() { WString::SetLocalePage(saved); }
};

}  // namespace

TEST(WStringConversion, NarrowTextFollowsTheCodePage) {
    PageGuard guard;
    WString::SetLocalePage(65001);
    EXPECT_EQ(WString("abc"), L"abc");
    EXPECT_EQ(WString("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"), L"Grüße €");
    EXPECT_EQ(WString(static_cast<const char*>(nullptr)), L"");

    WString::SetLocalePage(1252);
    EXPECT_EQ(WString("Gr\xFC\xDF" "e \x80"), L"Grüße €");
    WString s;
    s = "\x80";
    EXPECT_EQ(s, L"€");
}

TEST(WStringConversion, SingleBytesConvertOnTheirOwn) {
    PageGuard guard;
    WString::SetLocalePage(65001);
    WString s;
    s += 'a';
    s += '\xC3';  // a lead byte alone is not a character
    EXPECT_EQ(s, L"a\uFFFD");
    EXPECT_EQ(WString('\0'), L"");

    WString::SetLocalePage(1252);
    EXPECT_EQ(WString('\xE9'), L"é");
}

TEST(WStringConversion, LongTextGrowsTheSharedBuffer) {
    PageGuard guard;
    WString::SetLocalePage(65001);
    std::string narrow(100000, 'x');
    narrow += "\xC3\xA9";
    const WString wide(narrow.c_str());
    ASSERT_EQ(wide.size(), 100001u);
    EXPECT_EQ(wide.back(), L'é');
    EXPECT_EQ(WString("short"), L"short");  // the grown buffer still serves short texts
}

TEST(WStringAssignment, CopiesAndSingleCharacters) {
    WString a(L"text");
    const WString& same = a;
    a = same;
    EXPECT_EQ(a, L"text");
    a = L'x';
    EXPECT_EQ(a, L"x");
    a += WString(L"yz");
    a += L'!';
    EXPECT_EQ(a, L"xyz!");
}

TEST(WStringFormat, WideStringsIntsAndLocaleFreeFloats) {
    WString s;
    EXPECT_EQ(s.Format(L"(%d , %d)", 3, -4), L"(3 , -4)");
    EXPECT_EQ(s.Format(L"%s::%s", L"Class", WString(L"operations").c_str()), L"Class::operations");
    EXPECT_EQ(s.Format(L"%f", 3.5), L"3.500000");

    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(s.Format(L"%f", 3.5), L"3.500000");
    }
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(WStringFormat, HasNoSizeLimit) {
    const std::wstring big(200000, L'q');
    WString s;
    s.Format(L"<%s>", big.c_str());
    EXPECT_EQ(s.size(), 200002u);
    EXPECT_EQ(s.front(), L'<');
    EXPECT_EQ(s.back(), L'>');
}

TEST(WStringCompare, OrderIsByUnsignedCodeUnits) {
    EXPECT_TRUE(WString(L"ab") < WString(L"abc"));  // a proper prefix first
    EXPECT_TRUE(WString(L"B") < WString(L"a"));      // case-sensitive
    EXPECT_TRUE(WString(L"z") < WString(L"\u00e9"));
    EXPECT_TRUE(WString(L"a") <= WString(L"a"));
    EXPECT_TRUE(WString(L"b") >= WString(L"a"));
    EXPECT_FALSE(WString(L"a") > WString(L"a"));
    EXPECT_TRUE(WString(L"Name") != WString(L"name"));
}

TEST(WStringMatch, WholeTextWithOptionalCaseFold) {
    EXPECT_TRUE(WString::Match(L"TRUE", L"true", false));
    EXPECT_FALSE(WString::Match(L"TRUE", L"true", true));
    EXPECT_FALSE(WString::Match(L"true", L"truex", false));
    EXPECT_FALSE(WString::Match(L"truex", L"true", false));
    EXPECT_FALSE(WString::Match(static_cast<const wchar_t*>(nullptr), nullptr, true));
    EXPECT_FALSE(WString::Match(L"a", nullptr, false));
    const WString s(L"Same");
    EXPECT_TRUE(WString::Match(s, s, true));
}

TEST(WStringTrimSplit, PiecesAreTrimmedAndEmptyOnesDropped) {
    EXPECT_EQ(WString::Trim(L"  \t "), L"");
    EXPECT_EQ(WString::Trim(L" a b "), L"a b");
    EXPECT_EQ(WString::Trim(L""), L"");

    std::vector<WString> out{L"kept"};
    WString::Split(L" a , ,b,, ", out, L",");
    EXPECT_EQ(out, (std::vector<WString>{L"kept", L"a", L"b"}));

    out.clear();
    WString::Split(L"a;b,c", out, L",;");
    EXPECT_EQ(out, (std::vector<WString>{L"a", L"b", L"c"}));

    out.clear();
    WString::Split(L" whole ", out, nullptr);
    WString::Split(L"", out, L"");
    EXPECT_EQ(out, (std::vector<WString>{L" whole ", L""}));
}

TEST(WStringNumbers, IntegerAndRealSyntax) {
    EXPECT_TRUE(WString::IsIntegerNumber(L"-12"));
    EXPECT_TRUE(WString::IsIntegerNumber(L"007"));
    EXPECT_FALSE(WString::IsIntegerNumber(L"+"));
    EXPECT_FALSE(WString::IsIntegerNumber(L" 12"));
    EXPECT_FALSE(WString::IsIntegerNumber(L""));
    EXPECT_FALSE(WString::IsIntegerNumber(L"1.0"));

    for (const wchar_t* yes : {L"3.", L".5", L"-.5", L"+2", L"10.25"}) EXPECT_TRUE(WString::IsRealNumber(yes)) << yes;
    for (const wchar_t* no : {L".", L"+", L"1.2.3", L"1e5", L"", L"-"}) EXPECT_FALSE(WString::IsRealNumber(no)) << no;
}

TEST(WStringCase, LowerAndUpperInPlace) {
    WString s(L"MiXed");
    EXPECT_EQ(s.MakeLower(), L"mixed");
    EXPECT_EQ(s.MakeUpper(), L"MIXED");
}
