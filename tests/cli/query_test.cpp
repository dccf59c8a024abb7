// The reporting commands on one small model: find, refs, stats and print.

#include <algorithm>

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

// Package Shop: Order derives from Item (bound by name and quid), Ghost
// from a class that does not exist, and two classes share the name Dup.
// The logical view shows two class diagrams and a use case diagram.
std::string ShopModel() {
    const std::string shop =
        ClassText("Item", "5D0000000111") +
        ClassText("Order", "5D0000000112", SuperclassText("5D0000000113", "Logical View::Shop::Item", "5D0000000111")) +
        ClassText("Ghost", "5D0000000114", SuperclassText("5D0000000115", "Logical View::Shop::Missing", "")) +
        ClassText("Dup", "5D0000000116") + ClassText("Dup", "5D0000000117");
    const std::string diagrams = ClassDiagramText("Main", "5D0000000201") + ClassDiagramText("Detail", "5D0000000202") +
                                 "\t    (object UseCaseDiagram \"Cases\"\n\t\tquid \t\"5D0000000203\")\n";
    return MainFile(PackageText("Shop", "5D0000000110", shop), diagrams);
}

class QueryTest : public ::testing::Test {
protected:
    tScratchDir scratch;
    const std::string model = scratch.Write("shop.mdl", ShopModel());
};

TEST_F(QueryTest, FindTakesQualifiedNamesAndQuids) {
    const std::string order = "Class Logical View::Shop::Order (quid 5D0000000112)\n";
    const tRun byName = RunLum({"find", model, "Logical View::Shop::Order"}, scratch);
    EXPECT_EQ(byName.status, 0) << Describe(byName);
    EXPECT_EQ(byName.out, order);
    EXPECT_EQ(byName.err, "");
    EXPECT_EQ(RunLum({"find", model, "5D0000000112"}, scratch).out, order);
    EXPECT_EQ(RunLum({"find", model, "Logical View::Shop"}, scratch).out,
              "Class_Category Logical View::Shop (quid 5D0000000110)\n");

    std::vector<std::string> dups = RunLum({"find", model, "Logical View::Shop::Dup"}, scratch).OutLines();
    std::sort(dups.begin(), dups.end());
    EXPECT_EQ(dups, (std::vector<std::string>{"Class Logical View::Shop::Dup (quid 5D0000000116)",
                                              "Class Logical View::Shop::Dup (quid 5D0000000117)"}));

    // Nothing found is said on standard error; the status stays the model's.
    const tRun none = RunLum({"find", model, "Logical View::Shop::Nothing"}, scratch);
    EXPECT_EQ(none.status, 0) << Describe(none);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "lum: nothing named 'Logical View::Shop::Nothing'\n");

    // Several main files are searched together.
    const std::string other = scratch.Write("other.mdl", MainFile(ClassText("Elsewhere", "5D0000000301")));
    EXPECT_EQ(RunLum({"find", model, other, "5D0000000301"}, scratch).out,
              "Class Logical View::Elsewhere (quid 5D0000000301)\n");
}

TEST_F(QueryTest, FindAsJson) {
    const tRun run = RunLum({"find", "--format", "json", model, "Logical View::Shop::Dup"}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    const tJson doc = JsonOf(run.out);
    EXPECT_EQ(doc["format"].text, "lum-find/1");
    EXPECT_EQ(doc["name"].text, "Logical View::Shop::Dup");
    ASSERT_EQ(doc["objects"].items.size(), 2u);
    for (const tJson& object : doc["objects"].items) {
        EXPECT_EQ(object["class"].text, "Class");
        EXPECT_EQ(object["path"].text, "Logical View::Shop::Dup");
        EXPECT_TRUE(object["quid"].text == "5D0000000116" || object["quid"].text == "5D0000000117");
    }
    EXPECT_TRUE(JsonOf(RunLum({"find", "--format", "json", model, "nothing"}, scratch).out)["objects"].items.empty());
}

TEST_F(QueryTest, RefsListsOwnerTextAndTarget) {
    const tRun all = RunLum({"refs", model}, scratch);
    EXPECT_EQ(all.status, 0) << Describe(all);
    EXPECT_EQ(all.OutLines(), (std::vector<std::string>{
                                  "Logical View::Shop::Order supplier = Logical View::Shop::Item -> Logical View::Shop::Item",
                                  "Logical View::Shop::Order quidu = 5D0000000111 -> Logical View::Shop::Item",
                                  "Logical View::Shop::Ghost supplier = Logical View::Shop::Missing -> (unbound)",
                              }));

    // An unbound reference is not an error of the model.
    const tRun unresolved = RunLum({"refs", model, "--unresolved"}, scratch);
    EXPECT_EQ(unresolved.status, 0) << Describe(unresolved);
    EXPECT_EQ(unresolved.out, "Logical View::Shop::Ghost supplier = Logical View::Shop::Missing\n");
}

TEST_F(QueryTest, RefsAsJson) {
    const tRun run = RunLum({"refs", "--format", "json", model}, scratch);
    const tJson doc = JsonOf(run.out);
    EXPECT_EQ(doc["format"].text, "lum-refs/1");
    const tJson& references = doc["references"];
    ASSERT_EQ(references.items.size(), 3u) << run.out;
    EXPECT_EQ(references[0]["owner"].text, "Logical View::Shop::Order");
    EXPECT_EQ(references[0]["feature"].text, "supplier");
    EXPECT_EQ(references[0]["text"].text, "Logical View::Shop::Item");
    EXPECT_EQ(references[0]["target"].text, "Logical View::Shop::Item");
    EXPECT_EQ(references[1]["feature"].text, "quidu");
    EXPECT_EQ(references[1]["text"].text, "5D0000000111");
    EXPECT_EQ(references[2]["owner"].text, "Logical View::Shop::Ghost");
    EXPECT_TRUE(references[2]["target"].IsNull());

    const tJson unresolved = JsonOf(RunLum({"refs", "--unresolved", "--format", "json", model}, scratch).out);
    ASSERT_EQ(unresolved["references"].items.size(), 1u);
    EXPECT_EQ(unresolved["references"][0]["text"].text, "Logical View::Shop::Missing");
    EXPECT_TRUE(unresolved["references"][0]["target"].IsNull());
}

TEST_F(QueryTest, StatsCountsObjectsPerClassAndDiagramsPerKind) {
    const tRun run = RunLum({"stats", model}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(run.out,
              "objects: 14\n\nper class:\n"
              "  Class: 5\n  ClassDiagram: 2\n  Class_Category: 2\n  Design: 1\n  Inheritance_Relationship: 2\n"
              "  UseCaseDiagram: 1\n  Vellum: 1\n"
              "\ndiagrams per kind:\n  ClassDiagram: 2\n  UseCaseDiagram: 1\n");

    const tJson doc = JsonOf(RunLum({"stats", "--format", "json", model}, scratch).out);
    EXPECT_EQ(doc["format"].text, "lum-stats/1");
    EXPECT_EQ(doc["objects"].Int(), 14);
    EXPECT_EQ(doc["classes"].order, (std::vector<std::string>{"Class", "ClassDiagram", "Class_Category", "Design",
                                                              "Inheritance_Relationship", "UseCaseDiagram", "Vellum"}));
    EXPECT_EQ(doc["classes"]["Class"].Int(), 5);
    EXPECT_EQ(doc["diagrams"].order, (std::vector<std::string>{"ClassDiagram", "UseCaseDiagram"}));
    EXPECT_EQ(doc["diagrams"]["ClassDiagram"].Int(), 2);
    EXPECT_EQ(doc["diagrams"]["UseCaseDiagram"].Int(), 1);
}

TEST_F(QueryTest, PrintWritesTheSameTextToAFile) {
    const tRun shown = RunLum({"print", model}, scratch);
    EXPECT_EQ(shown.status, 0) << Describe(shown);
    EXPECT_TRUE(shown.out.starts_with("object VellumFile\n")) << shown.out;
    EXPECT_TRUE(Contains(shown.out, "name = Order;\n")) << shown.out;
    EXPECT_TRUE(Contains(shown.out, "supplier = ref Logical View::Shop::Item;")) << shown.out;

    // An older, longer file is replaced, not overwritten in part.
    const std::string file = scratch.Write("out/model.txt", std::string(shown.out.size() * 2, 'x'));
    const tRun written = RunLum({"print", "-o", file, model}, scratch);
    EXPECT_EQ(written.status, 0) << Describe(written);
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(written.err, "");
    EXPECT_EQ(ReadFile(file), shown.out);
    EXPECT_EQ(RunLum({"print", model, "--output", file}, scratch).status, 0);
    EXPECT_EQ(ReadFile(file), shown.out);

    const std::string nowhere = (scratch / "no" / "such" / "dir" / "model.txt").string();
    const tRun failed = RunLum({"print", "-o", nowhere, model}, scratch);
    EXPECT_EQ(failed.status, 2) << Describe(failed);
    EXPECT_EQ(failed.err, "lum: cannot write '" + nowhere + "'\n");
    EXPECT_EQ(failed.out, "");
}

}  // namespace
}  // namespace lumcli::test
