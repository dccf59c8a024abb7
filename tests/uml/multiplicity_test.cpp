// Reading cardinality texts into multiplicities.

#include <gtest/gtest.h>

#include <lum/text/utf8.h>
#include <lum/uml/multiplicity.h>

namespace lum::uml {
namespace {

constexpr std::int64_t kMany = MultiplicityRange::kUnlimited;

struct tCase {
    const wchar_t* text;
    std::vector<MultiplicityRange> ranges;  // empty: unreadable (or unspecified for "")
    const char* shown;
};

TEST(MultiplicityTest, CardinalityTextsReadAsRanges) {
    const tCase cases[] = {
        {L"1", {{1, 1}}, "1"},
        {L"0..1", {{0, 1}}, "0..1"},
        {L"n", {{0, kMany}}, "0..*"},
        {L"*", {{0, kMany}}, "0..*"},
        {L"1..n", {{1, kMany}}, "1..*"},
        {L"0..*", {{0, kMany}}, "0..*"},
        {L"3..5", {{3, 5}}, "3..5"},
        {L" 2 .. 4 ", {{2, 4}}, "2..4"},
        {L"1, 3..5, 7..n", {{1, 1}, {3, 5}, {7, kMany}}, "1, 3..5, 7..*"},
        {L"5..3", {}, "5..3"},
        {L"many", {}, "many"},
        {L"1..", {}, "1.."},
        {L"1,,2", {}, "1,,2"},
        {L"99999999999999999999", {}, "99999999999999999999"},
        {L"", {}, ""},
    };
    for (const tCase& c : cases) {
        const Multiplicity multiplicity = Multiplicity::Parse(c.text);
        EXPECT_EQ(multiplicity.ranges, c.ranges) << ToUtf8(c.text);
        EXPECT_EQ(multiplicity.ToString(), c.shown) << ToUtf8(c.text);
        EXPECT_EQ(multiplicity.IsSpecified(), *c.text != L'\0');
    }
}

TEST(MultiplicityTest, BoundsSpanEveryRange) {
    EXPECT_EQ(Multiplicity::Parse(L"2, 0..1").Lower(), 0);
    EXPECT_EQ(Multiplicity::Parse(L"2, 0..1").Upper(), 2);
    EXPECT_EQ(Multiplicity::Parse(L"1, 3..n").Upper(), kMany);
    EXPECT_EQ(Multiplicity::Parse(L"").Lower(), 1);  // the UML default
}

}  // namespace
}  // namespace lum::uml
