// Bool, int and float codecs.

#include "lum/text/codecs.h"

#include <gtest/gtest.h>

#include <clocale>
#include <climits>
#include <string>

#include "error_capture.h"

namespace lum {
namespace {

using CodecsTest = test::ErrorCaptureTest;

TEST_F(CodecsTest, BoolLiteralsIgnoreCase)
{
    for (const wchar_t* text : {L"TRUE", L"True", L"true", L"tRuE"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        bool value = false;
        EXPECT_TRUE(DecodeBool(text, value));
        EXPECT_TRUE(value);
    }
    for (const wchar_t* text : {L"false", L"FALSE"}) {
        bool value = true;
        EXPECT_TRUE(DecodeBool(text, value));
        EXPECT_FALSE(value);
    }
    ExpectNoMessage();
}

TEST_F(CodecsTest, BoolRejectsAnythingElseUnchanged)
{
    for (const wchar_t* text : {L"yes", L" true", L"false ", L"1", L""}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        errors.clear();
        bool value = true;
        EXPECT_FALSE(DecodeBool(text, value));
        EXPECT_TRUE(value);
        ExpectOnlyMessage(L"Cannot decode bool from string '" + std::wstring(text) + L"'");
    }
}

TEST_F(CodecsTest, BoolEncodesLowerCaseReplacingOutput)
{
    WString out = L"previous";
    EncodeBool(true, out);
    EXPECT_EQ(std::wstring(out), L"true");
    EncodeBool(false, out);
    EXPECT_EQ(std::wstring(out), L"false");
}

TEST_F(CodecsTest, IntAcceptsBlanksSignAndWrapsAround)
{
    const struct {
        const wchar_t* text;
        int expected;
    } cases[] = {
        {L"  -42  ", -42},
        {L"+7", 7},
        {L"0", 0},
        {L"2147483647", INT_MAX},
        {L"-2147483648", INT_MIN},
        {L"2147483648", INT_MIN},
        {L"4294967297", 1},
        {L"", 0},
        {L"   ", 0},
        {L"-", 0},
        {L" + ", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        int value = 99;
        EXPECT_TRUE(DecodeInt(c.text, value));
        EXPECT_EQ(value, c.expected);
    }
    ExpectNoMessage();
}

TEST_F(CodecsTest, IntRejectsNonDigitsReportingWholeText)
{
    // Only the space is a blank, so tabs and line breaks fail like letters.
    for (const wchar_t* text : {L"4 2", L"0x10", L" 4 2 ", L"\t5", L"5\n", L"--5", L"- 5", L"1.5", L"5-"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        errors.clear();
        int value = 99;
        EXPECT_FALSE(DecodeInt(text, value));
        EXPECT_EQ(value, 99);
        ExpectOnlyMessage(L"Cannot decode int from string '" + std::wstring(text) + L"'");
    }
}

TEST_F(CodecsTest, IntEncodesDecimalReplacingOutput)
{
    WString out = L"previous";
    EncodeInt(-17, out);
    EXPECT_EQ(std::wstring(out), L"-17");
    EncodeInt(INT_MIN, out);
    EXPECT_EQ(std::wstring(out), L"-2147483648");
}

TEST_F(CodecsTest, FloatReadsLeadingNumberWithoutReporting)
{
    const struct {
        const wchar_t* text;
        float expected;
    } cases[] = {
        {L"3.5abc", 3.5f}, {L"abc", 0.0f}, {L"", 0.0f}, {L"  -2.25", -2.25f}, {L"1e3", 1000.0f}, {L"7,5", 7.0f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        float value = 42.0f;
        EXPECT_TRUE(DecodeFloat(c.text, value));
        EXPECT_EQ(value, c.expected);
    }
    ExpectNoMessage();
}

TEST_F(CodecsTest, FloatEncodesSixDecimalsWithoutExponent)
{
    WString out = L"previous";
    EncodeFloat(3.5f, out);
    EXPECT_EQ(std::wstring(out), L"3.500000");
    EncodeFloat(-0.25f, out);
    EXPECT_EQ(std::wstring(out), L"-0.250000");
    EncodeFloat(1e10f, out);
    EXPECT_EQ(std::wstring(out), L"10000000000.000000");
}

// Restores the classic C locale however the test ends.
struct CLocaleRestorer {
    ~CLocaleRestorer() { std::setlocale(LC_ALL, "C"); }
};

TEST_F(CodecsTest, FloatIgnoresDecimalCommaLocale)
{
    CLocaleRestorer restorer;
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";

    WString out;
    EncodeFloat(3.5f, out);
    EXPECT_EQ(std::wstring(out), L"3.500000");
    float value = 0.0f;
    EXPECT_TRUE(DecodeFloat(L"2.75", value));
    EXPECT_EQ(value, 2.75f);
}

}  // namespace
}  // namespace lum
