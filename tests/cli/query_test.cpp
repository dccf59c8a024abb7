// find and refs on a small model whose references meet every fate: bound,
// naming nothing, into a missing unit, an unmodelled type, dangling.

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

// Package Shop: Order derives from Item (by name and quid), Ghost from a
// class nobody has, Zero from nothing (an all-zero quid),
// Late from a class of the missing unit P; Item's price is of type Money;
// two classes are called Dup. A second main file holds Elsewhere.
class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string shop =
            ClassText("Item", "5D0000000111", AttributeText("price", "5D0000000121", "Money")) +
            ClassText("Order", "5D0000000112", SuperclassText("5D0000000113", "Logical View::Shop::Item", "5D0000000111")) +
            ClassText("Ghost", "5D0000000114", SuperclassText("5D0000000115", "Logical View::Shop::Missing", "5D0000000999")) +
            ClassText("Zero", "5D0000000116", SuperclassText("5D0000000117", "", "000000000000")) +
            ClassText("Late", "5D0000000118", SuperclassText("5D0000000119", "Logical View::P::B", "5D0000000201")) +
            ClassText("Dup", "5D0000000131") + ClassText("Dup", "5D0000000132");
        scratch.Write("shop.mdl", MainFile(PackageText("Shop", "5D0000000110", shop) +
                                           StubText("P", "5D0000000200", "$LIBS\\p.cat")));
        scratch.Write("other.mdl", MainFile(ClassText("Elsewhere", "5D0000000301")));
    }
    tScratch scratch;
};

TEST_F(QueryTest, FindTakesQuidsQualifiedAndSimpleNamesAndPatterns) {
    const std::string order = "Class Logical View::Shop::Order (quid 5D0000000112)\n";
    const std::string dups = "Class Logical View::Shop::Dup (quid 5D0000000131)\n"
                             "Class Logical View::Shop::Dup (quid 5D0000000132)\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"5D0000000112", order},
        {"Logical View::Shop::Order", order},
        {"Order", order},
        {"Or*r", order},
        {"?rder", order},
        {"Logical View::*::Ord*", order},
        {"Dup", dups},
        {"Logical View::Shop::Dup", dups},
        {"Logical View::Shop", "Class_Category Logical View::Shop (quid 5D0000000110)\n"},
        {"price", "ClassAttribute Logical View::Shop::Item::price (quid 5D0000000121)\n"},
        {"Elsewhere", "Class Logical View::Elsewhere (quid 5D0000000301)\n"},
        {"*where", "Class Logical View::Elsewhere (quid 5D0000000301)\n"},
        {"where", ""},
        {"Logical View::Order", ""},  // a qualified name is not looked for as a simple one
        {"order", ""},
    };
    for (const auto& [name, found] : cases) {
        SCOPED_TRACE(name);
        const tRun run = scratch.Lum({"find", "shop.mdl", "other.mdl", name});
        EXPECT_EQ(run.status, 0) << Describe(run);
        EXPECT_EQ(run.out, found);
        EXPECT_EQ(run.err, found.empty() ? "lum: nothing named '" + name + "'\n" : "");
    }
    const Json doc = JsonOf(scratch.Lum({"find", "--format", "json", "shop.mdl", "D?p"}).out);
    EXPECT_EQ(doc, Json::parse(R"({"format": "lum-find/1", "name": "D?p", "objects": [
        {"class": "Class", "path": "Logical View::Shop::Dup", "quid": "5D0000000131"},
        {"class": "Class", "path": "Logical View::Shop::Dup", "quid": "5D0000000132"}]})"));
}

TEST_F(QueryTest, RefsGivesEveryReferenceItsFate) {
    const std::vector<std::string> lines = {
        "Logical View::Shop::Item::price type = Money -> (unmodelled type)",
        "Logical View::Shop::Order supplier = Logical View::Shop::Item -> Logical View::Shop::Item",
        "Logical View::Shop::Order quidu = 5D0000000111 -> Logical View::Shop::Item",
        "Logical View::Shop::Ghost supplier = Logical View::Shop::Missing -> (dangling)",
        "Logical View::Shop::Ghost quidu = 5D0000000999 -> (dangling)",
        "Logical View::Shop::Zero quidu = 000000000000 -> (empty)",
        "Logical View::Shop::Late supplier = Logical View::P::B -> (in missing unit)",
        "Logical View::Shop::Late quidu = 5D0000000201 -> (in missing unit)"};
    const tRun all = scratch.Lum({"refs", "shop.mdl"});
    EXPECT_EQ(all.status, 0) << Describe(all);
    EXPECT_EQ(LinesWith(all.out), lines);
    // Unbound and naming something: not what is bound, nor the empty texts and all-zero quids.
    const tRun unresolved = scratch.Lum({"refs", "shop.mdl", "--unresolved"});
    EXPECT_EQ(LinesWith(unresolved.out), (std::vector<std::string>{lines[0], lines[3], lines[4], lines[6], lines[7]}));

    const Json doc = JsonOf(scratch.Lum({"refs", "--format", "json", "shop.mdl"}).out);
    EXPECT_EQ(doc["format"], "lum-refs/1");
    ASSERT_EQ(doc["references"].size(), lines.size());
    EXPECT_EQ(doc["references"][1], Json::parse(R"({"owner": "Logical View::Shop::Order", "feature": "supplier",
        "text": "Logical View::Shop::Item", "status": "bound", "target": "Logical View::Shop::Item"})"));
    EXPECT_EQ(doc["references"][5], Json::parse(R"({"owner": "Logical View::Shop::Zero", "feature": "quidu",
        "text": "000000000000", "status": "empty", "target": null})"));
    std::vector<std::string> statuses;
    const Json unresolvedDoc = JsonOf(scratch.Lum({"refs", "--unresolved", "--format", "json", "shop.mdl"}).out);
    for (const Json& reference : unresolvedDoc["references"]) statuses.push_back(reference["status"]);
    EXPECT_EQ(statuses, (std::vector<std::string>{"unmodelled type", "dangling", "dangling", "in missing unit",
                                                  "in missing unit"}));

    const tRun check = scratch.Lum({"check", "shop.mdl"});
    EXPECT_EQ(LineWith(check.out, "references: "), "references: 2 bound, 1 naming nothing, 2 into missing units, "
                                                   "1 unmodelled types, 2 dangling (0 ambiguous)");
    EXPECT_EQ(JsonOf(scratch.Lum({"check", "--format", "json", "shop.mdl"}).out)["references"],
              Json::parse(R"({"bound": 2, "unbound": 5, "empty": 1, "inMissingUnits": 2, "unmodelledTypes": 1,
                  "dangling": 2, "ambiguous": 0})"));
}

}  // namespace
}  // namespace lumcli::test
