#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "lum/diagnostics/error.h"

using lum::tError;
using lum::tErrorSubject;

namespace {

// Stand-ins for model objects and metamodel entries: subjects only compare
// their addresses.
const auto* ObjectA = reinterpret_cast<const lum::ClumVellumEntity*>(0x1000);
const auto* ObjectB = reinterpret_cast<const lum::ClumVellumEntity*>(0x2000);
const auto* ClassA = reinterpret_cast<const lum::ClumMetaClass*>(0x3000);
const auto* FeatureA = reinterpret_cast<const lum::ClumMetaFeature*>(0x4000);

}  // namespace

TEST(tErrorSubject, ConstructorsSetOnlyTheirFields) {
    const tErrorSubject none;
    EXPECT_EQ(none.entity, nullptr);
    EXPECT_EQ(none.metaClass, nullptr);
    EXPECT_EQ(none.metaFeature, nullptr);
    EXPECT_EQ(none.line, 0);

    const tErrorSubject both(ObjectA, FeatureA);
    EXPECT_EQ(both.entity, ObjectA);
    EXPECT_EQ(both.metaFeature, FeatureA);
    EXPECT_EQ(both.metaClass, nullptr);
    EXPECT_EQ(tErrorSubject(ClassA, FeatureA).metaClass, ClassA);
    EXPECT_EQ(tErrorSubject(12L).line, 12);
}

TEST(tErrorSubject, LineIsIgnoredByEqualityButOrders) {
    const tErrorSubject line3(3L), line7(7L);
    EXPECT_TRUE(line3 == line7);
    EXPECT_TRUE(line3 < line7);
    EXPECT_TRUE(line7 > line3);
    EXPECT_FALSE(line7 < line3);

    // entity decides before metaClass, metaClass before line, line before metaFeature.
    EXPECT_TRUE(tErrorSubject(ObjectA) < tErrorSubject(ObjectB));
    tErrorSubject classWithLateLine(ClassA);
    classWithLateLine.line = 1;
    tErrorSubject featureAtLineZero(FeatureA);
    EXPECT_TRUE(featureAtLineZero < classWithLateLine);
    tErrorSubject featureLine1(FeatureA);
    featureLine1.line = 1;
    EXPECT_TRUE(tErrorSubject(1L) < featureLine1);
    EXPECT_TRUE(featureAtLineZero < tErrorSubject(1L));
}

TEST(tError, EqualityAndOrder) {
    const tError a(tErrorSubject(3L), tError::Warning, L"same");
    const tError b(tErrorSubject(9L), tError::Warning, L"same");
    EXPECT_TRUE(a == b);  // subjects differ only by line
    EXPECT_TRUE(a < b);   // yet the line orders them
    EXPECT_FALSE(b < a);

    const tError info(tErrorSubject(99L), tError::Information, L"zzz");
    EXPECT_TRUE(info < a);  // severity first
    const tError x(tErrorSubject(3L), tError::Warning, L"x");
    const tError y(tErrorSubject(3L), tError::Warning, L"y");
    EXPECT_TRUE(x < y);  // message last
    EXPECT_FALSE(x == y);

    std::vector<tError> sorted{y, info, b, x, a};
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted.front().severity, tError::Information);
    EXPECT_EQ(sorted.back().subject.line, 9);
}

TEST(tError, SeverityNamesAndDefault) {
    EXPECT_STREQ(tError::ToString(tError::Information), L"Information");
    EXPECT_STREQ(tError::ToString(tError::Warning), L"Warning");
    EXPECT_STREQ(tError::ToString(tError::Error), L"Error");
    EXPECT_STREQ(tError::ToString(tError::FatalError), L"FatalError");
    EXPECT_STREQ(tError::ToString(tError::InternalError), L"InternalError");

    const tError fresh;
    EXPECT_EQ(fresh.severity, tError::Information);
    EXPECT_TRUE(fresh.message.empty());
    EXPECT_TRUE(fresh.subject == tErrorSubject());
}
