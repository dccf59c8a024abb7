// Points "(x , y)" and point lists.

#include "lum/text/location.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

#include "error_capture.h"

namespace lum {

// Readable failure output for points.
static void PrintTo(const tLocation& p, std::ostream* os)
{
    *os << "(" << p.x << ", " << p.y << ")";
}

namespace {

using LocationTest = test::ErrorCaptureTest;
using PointVectorTest = test::ErrorCaptureTest;

TEST_F(LocationTest, DecodesAnyPlacementOfParenthesesBlanksAndSigns)
{
    const struct {
        const wchar_t* text;
        tLocation expected;
    } cases[] = {
        {L"(10 , -20)", {10, -20}}, {L"10,-20", {10, -20}},  {L"(-3,+4)", {-3, 4}},
        {L"-3 , 4", {-3, 4}},       {L"( 1 0 , 2 )", {10, 2}}, {L"(5)", {5, 0}},
        {L"(,7)", {0, 7}},          {L"()", {0, 0}},           {L"(- 8, 1)", {-8, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        EXPECT_EQ(tLocation::Decode(c.text), c.expected);
    }
    ExpectNoMessage();
}

TEST_F(LocationTest, MalformedTextGivesOriginAndReportsWholeText)
{
    // A sign is only allowed first in each number; tabs are not skipped.
    for (const wchar_t* text : {L"(1,2,3)", L"(a, 2)", L"(1;2)", L"(1-2, 3)", L"(--1, 2)", L"(1,\t2)", L"(1.5, 2)"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        errors.clear();
        EXPECT_EQ(tLocation::Decode(text), tLocation());
        ExpectOnlyMessage(L"Cannot decode location from string " + std::wstring(text));
    }
}

TEST_F(LocationTest, EmptyTextHasItsOwnMessage)
{
    EXPECT_EQ(tLocation::Decode(L""), tLocation());
    ExpectOnlyMessage(L"Cannot decode location from an empty string!");
}

TEST_F(LocationTest, EncodesAndReadsBack)
{
    WString out = L"previous";
    tLocation::Encode(tLocation(120, -45), out);
    EXPECT_EQ(std::wstring(out), L"(120 , -45)");

    for (const tLocation& p : {tLocation(0, 0), tLocation(-7, 3), tLocation(INT_MIN, INT_MAX)}) {
        tLocation::Encode(p, out);
        EXPECT_EQ(tLocation::Decode(out), p) << testing::PrintToString(std::wstring(out));
    }
    ExpectNoMessage();
}

TEST_F(LocationTest, OrdersByXThenSignedY)
{
    const tLocation p(1, 5);
    EXPECT_TRUE(p < tLocation(2, 0));
    EXPECT_TRUE(p > tLocation(1, 4));
    EXPECT_TRUE(tLocation(-1, 9) < tLocation(0, -9));
    EXPECT_FALSE(p < p);
    EXPECT_TRUE(p <= p && p >= p);
    EXPECT_TRUE(p <= tLocation(1, 6));
    EXPECT_FALSE(p >= tLocation(1, 6));
    EXPECT_TRUE(p != tLocation(5, 1));
}

TEST_F(PointVectorTest, IgnoresWhateverStandsBetweenPoints)
{
    const tPointVector expected{{1, 2}, {3, 4}};
    for (const wchar_t* text : {L"(1 , 2)(3 , 4)", L"(1,2) (3,4)", L" (1,2),\r\n(3,4) "}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        EXPECT_EQ(tPointVector::Decode(text), expected);
    }
    EXPECT_TRUE(tPointVector::Decode(L"").empty());
    ExpectNoMessage();
}

TEST_F(PointVectorTest, UnterminatedLastPointIsDroppedSilently)
{
    EXPECT_EQ(tPointVector::Decode(L"(1,2)(3,4"), tPointVector({{1, 2}}));
    ExpectNoMessage();
}

TEST_F(PointVectorTest, UnbalancedParenthesesDiscardEverything)
{
    for (const wchar_t* text : {L")(", L"((1,2))", L"(1,2)(3,4))", L"(1,2)(3,(4)"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(text)));
        errors.clear();
        EXPECT_TRUE(tPointVector::Decode(text).empty());
        ExpectOnlyMessage(L"Cannot decode point vector from string " + std::wstring(text));
    }
}

TEST_F(PointVectorTest, BadPointKeepsItsPlaceAsOrigin)
{
    EXPECT_EQ(tPointVector::Decode(L"(1,2)(x,3)(5,6)"), tPointVector({{1, 2}, {0, 0}, {5, 6}}));
    ExpectOnlyMessage(L"Cannot decode location from string (x,3)");
}

TEST_F(PointVectorTest, EncodeAppendsPointsBackToBack)
{
    WString out;
    tPointVector::Encode(tPointVector{{1, 2}, {3, -4}}, out);
    EXPECT_EQ(std::wstring(out), L"(1 , 2)(3 , -4)");
    EXPECT_EQ(tPointVector::Decode(out), tPointVector({{1, 2}, {3, -4}}));

    out = L"kept";
    tPointVector::Encode(tPointVector{{7, 8}}, out);
    EXPECT_EQ(std::wstring(out), L"kept(7 , 8)");
    tPointVector::Encode(tPointVector(), out);
    EXPECT_EQ(std::wstring(out), L"kept(7 , 8)");
}

}  // namespace
}  // namespace lum
