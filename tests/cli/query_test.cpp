// find and refs on a small model whose references meet every fate: bound,
// naming nothing, into a missing unit, an unmodelled type, dangling.

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

// Package Shop: Order derives from Item (by name and quid), Ghost from a
// class nobody has, Zero from nothing (an all-zero quid), Late from a class
// of the missing unit P; Item's price is of type Money; two classes are
// called Dup. A second main file holds Elsewhere.
class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string shop = ClassText("Item", "Q11", AttributeText("price", "Q21", "Money")) +
                                 ClassText("Order", "Q12", SuperclassText("Q13", "Logical View::Shop::Item", "Q11")) +
                                 ClassText("Ghost", "Q14", SuperclassText("Q15", "Logical View::Shop::None", "Q99")) +
                                 ClassText("Zero", "Q16", SuperclassText("Q17", "", "000000000000")) +
                                 ClassText("Late", "Q18", SuperclassText("Q19", "Logical View::P::B", "Q201")) +
                                 ClassText("Dup", "Q31") + ClassText("Dup", "Q32");
        scratch.Write("shop.mdl", MainFile(PackageText("Shop", "Q10", shop) + StubText("P", "Q200", "$LIBS\\p.cat")));
        scratch.Write("other.mdl", MainFile(ClassText("Elsewhere", "Q301")));
    }
    tScratchDir scratch;
};

// Which names match is the library's; the tool's are the lines, the JSON,
// several models at once and the word when nothing matched.
TEST_F(QueryTest, FindWritesWhatMatchedInEveryModel) {
    const std::string dups = "Class Logical View::Shop::Dup (quid Q31)\nClass Logical View::Shop::Dup (quid Q32)\n";
    for (const auto& [name, found] : std::vector<std::pair<std::string, std::string>>{
             {"Q12", "Class Logical View::Shop::Order (quid Q12)\n"}, {"D?p", dups},
             {"price", "ClassAttribute Logical View::Shop::Item::price (quid Q21)\n"},
             {"*where", "Class Logical View::Elsewhere (quid Q301)\n"}, {"where", ""}}) {
        const tRun run = scratch.Lum({"find", "shop.mdl", "other.mdl", name});
        EXPECT_EQ(run.status, 0) << Describe(run);
        EXPECT_EQ(run.out, found) << name;
        EXPECT_EQ(run.err, found.empty() ? "lum: nothing named '" + name + "'\n" : "");
    }
    EXPECT_EQ(JsonOf(scratch.Lum({"find", "--format", "json", "shop.mdl", "Dup"}).out),
              Json::parse(R"({"format": "lum-find/1", "name": "Dup", "objects": [
                  {"class": "Class", "path": "Logical View::Shop::Dup", "quid": "Q31"},
                  {"class": "Class", "path": "Logical View::Shop::Dup", "quid": "Q32"}]})"));
}

TEST_F(QueryTest, RefsGivesEveryReferenceItsFate) {
    const std::string shop = "Logical View::Shop::";
    const std::vector<std::string> lines = {shop + "Item::price type = Money -> (unmodelled type)",
                                            shop + "Order supplier = Logical View::Shop::Item -> " + shop + "Item",
                                            shop + "Order quidu = Q11 -> " + shop + "Item",
                                            shop + "Ghost supplier = Logical View::Shop::None -> (dangling)",
                                            shop + "Ghost quidu = Q99 -> (dangling)",
                                            shop + "Zero quidu = 000000000000 -> (empty)",
                                            shop + "Late supplier = Logical View::P::B -> (in missing unit)",
                                            shop + "Late quidu = Q201 -> (in missing unit)"};
    const tRun all = scratch.Lum({"refs", "shop.mdl"});
    EXPECT_EQ(all.status, 0) << Describe(all);
    EXPECT_EQ(LinesWith(all.out), lines);
    // Those unbound that name something: not the all-zero quid.
    EXPECT_EQ(LinesWith(scratch.Lum({"refs", "shop.mdl", "--unresolved"}).out),
              (std::vector<std::string>{lines[0], lines[3], lines[4], lines[6], lines[7]}));
    const Json doc = JsonOf(scratch.Lum({"refs", "--format", "json", "shop.mdl"}).out);
    EXPECT_EQ(doc["format"], "lum-refs/1");
    EXPECT_EQ(doc["references"][2], Json::parse(R"({"owner": "Logical View::Shop::Order", "feature": "quidu",
        "text": "Q11", "status": "bound", "target": "Logical View::Shop::Item"})"));
    EXPECT_EQ(doc["references"][5]["target"], nullptr);
    EXPECT_EQ(JsonOf(scratch.Lum({"refs", "--unresolved", "--format", "json", "shop.mdl"}).out)["references"].size(), 5u);

    const Json check = JsonOf(scratch.Lum({"check", "--format", "json", "shop.mdl"}).out);
    EXPECT_EQ(check["references"], Json::parse(R"({"bound": 2, "unbound": 5, "empty": 1, "inMissingUnits": 2,
        "unmodelledTypes": 1, "dangling": 2, "ambiguous": 0})"));
    EXPECT_EQ(check["files"]["unitsMissing"], Json::parse(R"([{"unit": "P", "stored": "$LIBS\\p.cat",
        "resolved": "$LIBS/p.cat", "in": "shop.mdl", "undefinedSymbol": "LIBS"}])"));
}

}  // namespace
}  // namespace lumcli::test
