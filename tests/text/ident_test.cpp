#include <gtest/gtest.h>

#include <map>
#include <string>
#include <unordered_set>

#include "lum/text/ident.h"

using lum::ClumIdent;
using lum::WString;

TEST(ClumIdent, EqualTextsShareOnePooledCopy) {
    const ClumIdent fromPointer(L"Class_Category");
    const ClumIdent fromString(WString(L"Class_Category"));
    EXPECT_EQ(fromPointer, fromString);
    EXPECT_EQ(fromPointer.c_str(), fromString.c_str());
    EXPECT_EQ(fromPointer.Hash(), fromString.Hash());
    EXPECT_NE(ClumIdent(L"Name"), ClumIdent(L"name"));
}

TEST(ClumIdent, EmptyAndNeverConstructed) {
    const ClumIdent empty;
    EXPECT_EQ(empty, ClumIdent(L""));
    EXPECT_FALSE(!empty);
    EXPECT_EQ(empty.GetLength(), 0u);
    EXPECT_STREQ(empty.c_str(), L"");

    // Zero-filled storage, as an identifier in memory never constructed.
    alignas(ClumIdent) unsigned char raw[sizeof(ClumIdent)] = {};
    const auto& null = *reinterpret_cast<const ClumIdent*>(raw);
    EXPECT_TRUE(!null);
    EXPECT_EQ(null.GetLength(), 0u);
    EXPECT_STREQ(null.c_str(), L"");
    EXPECT_FALSE(null == L"");
}

TEST(ClumIdent, TextComparisonIsExact) {
    const ClumIdent id(L"quid");
    EXPECT_TRUE(id == L"quid");
    EXPECT_TRUE(id == id.c_str());
    EXPECT_FALSE(id == L"Quid");
    EXPECT_TRUE(id != L"qui");
    EXPECT_FALSE(id == static_cast<const wchar_t*>(nullptr));
}

TEST(ClumIdent, LengthCountsOnlyTheGivenUnits) {
    // A WString may carry a NUL inside: the identifier keeps the whole text.
    const WString withNul(L"ab\0cd", 5);
    const ClumIdent id(withNul);
    EXPECT_EQ(id.c_str()[4], L'd');
    EXPECT_EQ(id, ClumIdent(withNul));
    // A prefix of a pooled text is a different identifier.
    EXPECT_NE(ClumIdent(L"abc"), ClumIdent(L"ab"));
    EXPECT_EQ(ClumIdent(L"abc").GetLength(), 3u);
    // A slice of a longer text is the identifier of that slice alone.
    const wchar_t* qualified = L"Logical View::Geo";
    EXPECT_EQ(ClumIdent(qualified + 14, 3), ClumIdent(L"Geo"));
    EXPECT_EQ(ClumIdent(qualified, 12), ClumIdent(L"Logical View"));
    EXPECT_EQ(ClumIdent(qualified, 0), ClumIdent());
}

TEST(ClumIdent, OrderIsAStrictTotalOrderForContainers) {
    std::map<ClumIdent, int> byIdent;
    std::unordered_set<ClumIdent> hashed;
    for (int i = 0; i < 1000; ++i) {
        const ClumIdent id(WString(std::to_wstring(i % 100)));
        byIdent[id] += 1;
        hashed.insert(id);
    }
    EXPECT_EQ(byIdent.size(), 100u);
    EXPECT_EQ(hashed.size(), 100u);
    for (const auto& [id, count] : byIdent) EXPECT_EQ(count, 10) << id.c_str();

    const ClumIdent a(L"alpha"), b(L"beta");
    EXPECT_NE(a < b, b < a);
    EXPECT_EQ(a <= b, !(a > b));
    EXPECT_TRUE(a <= a && a >= a);
}

TEST(ClumIdent, ManyAndLongTextsSpanPages) {
    // Enough distinct texts to fill several pages and collide in buckets.
    std::vector<const wchar_t*> pointers;
    for (int i = 0; i < 50000; ++i) pointers.push_back(ClumIdent(WString(L"ident_" + std::to_wstring(i))).c_str());
    const std::wstring huge(100000, L'h');  // larger than a page
    const ClumIdent big{WString(huge)};
    EXPECT_EQ(big.GetLength(), huge.size());
    for (int i = 0; i < 50000; i += 997) {
        EXPECT_EQ(ClumIdent(WString(L"ident_" + std::to_wstring(i))).c_str(), pointers[i]);
        EXPECT_EQ(std::wstring(pointers[i]), L"ident_" + std::to_wstring(i));
    }
    EXPECT_EQ(ClumIdent(WString(huge)).c_str(), big.c_str());
}

TEST(ClumIdent, EncodeWritesTheText) {
    WString out(L"old");
    ClumIdent::Encode(ClumIdent(L"new"), out);
    EXPECT_EQ(out, L"new");
}
