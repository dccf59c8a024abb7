// What `lum check` reports about a faulty model, in text and as JSON, and
// the exit status that follows from the severities.

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

class DiagnosticsTest : public ::testing::Test {
protected:
    tScratchDir scratch;
};

TEST_F(DiagnosticsTest, UnknownClassKeywordIsAWarningAndItsContentsAreSkipped) {
    const std::string nope =
        "\t    (object Nope \"N\"\n\t\tquid \t\"5D0000000301\"\n\t\tlogical_models \t(list unit_reference_list\n" +
        ClassText("Hidden", "5D0000000302") + "\t\t))\n";
    const std::string main = scratch.Write("u.mdl", MainFile(nope + ClassText("A", "5D0000000101")));

    const tRun run = RunLum({"check", main}, scratch);
    // Warnings are not errors: the model is usable, the status is 0 (also under --strict).
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "Nope"),
              main + ": Warning: Could not create class 'Nope'. No metaclass found with such a name");
    EXPECT_EQ(RunLum({"check", "--strict", main}, scratch).status, 0);

    // The class after the unknown construct is read; the one inside it is not.
    EXPECT_TRUE(Contains(run.out, "\n  Class: 1\n")) << run.out;
    EXPECT_EQ(RunLum({"find", main, "Logical View::A"}, scratch).out, "Class Logical View::A (quid 5D0000000101)\n");
    EXPECT_EQ(RunLum({"find", main, "5D0000000302"}, scratch).out, "");
}

TEST_F(DiagnosticsTest, SyntaxErrorNamesItsFileAndLineAndFailsTheModel) {
    // Line 5 holds a feature outside any construct.
    const std::string text = FileHeader() + "stray_feature \t\"outside\"\n\n" + MainFile(ClassText("A", "5D0000000101")).substr(FileHeader().size());
    ASSERT_EQ(tRun::Lines(text)[4], "stray_feature \t\"outside\"");
    const std::string main = scratch.Write("s.mdl", text);

    const tRun run = RunLum({"check", main}, scratch);
    EXPECT_EQ(run.status, 1) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "syntax"), main + ":5: Error: Vellum syntax error near stray_feature");
    // Reading goes on after the fault.
    EXPECT_TRUE(Contains(run.out, "\n  Class: 1\n")) << run.out;

    // Every command reports the model's status, and still does its work.
    const tRun print = RunLum({"print", main}, scratch);
    EXPECT_EQ(print.status, 1);
    EXPECT_TRUE(Contains(print.out, "name = A;")) << print.out;
    EXPECT_EQ(RunLum({"find", main, "Logical View::A"}, scratch).status, 1);
    EXPECT_EQ(RunLum({"refs", main}, scratch).status, 1);
}

TEST_F(DiagnosticsTest, DiagnosticOfAUnitFileNamesThatFileAsItLiesOnDisk) {
    scratch.Write("units/p.cat", FileHeader() + "\n\nstray 1\n" +
                                     UnitFile("P", "5D0000000200", ClassText("B", "5D0000000201")).substr(FileHeader().size()));
    const std::string main = scratch.Write("m.mdl", MainFile(StubText("P", "5D0000000200", "$X\\p.cat")));

    const tRun run = RunLum({"check", "-D", "X=" + (scratch / "units").string(), main}, scratch);
    EXPECT_EQ(run.status, 1) << Describe(run);
    const std::string line = LineWith(run.out, "syntax error");
    const std::string suffix = ":7: Error: Vellum syntax error near stray";
    ASSERT_TRUE(line.ends_with(suffix)) << line;
    // A name the user can open as it stands.
    EXPECT_EQ(line.substr(0, line.size() - suffix.size()), (scratch / "units" / "p.cat").string());
}

// The JSON report of a model with a syntax error and a missing unit, whose
// main file lies in a directory whose name needs escaping.
TEST_F(DiagnosticsTest, CheckAsJsonIsOneDocumentWithTheDocumentedFields) {
    const std::string a =
        ClassText("A", "5D0000000101", SuperclassText("5D0000000102", "Logical View::P::B", "5D0000000201"));
    const std::string text = FileHeader() + "stray_feature 1\n" +
                             MainFile(a + StubText("P", "5D0000000200", "$X\\p.cat")).substr(FileHeader().size());
    const std::string main = scratch.Write("we\"ird\tdir/m.mdl", text);

    const tRun run = RunLum({"check", "--strict", "--format", "json", main}, scratch);
    EXPECT_EQ(run.status, 1) << Describe(run);
    EXPECT_EQ(run.err, "");
    const tJson doc = JsonOf(run.out);
    EXPECT_EQ(doc.order.front(), "format");
    EXPECT_EQ(doc["format"].text, "lum-check/1");
    EXPECT_EQ(doc["codePage"].Int(), 1252);

    const tJson& diagnostics = doc["diagnostics"];
    ASSERT_TRUE(diagnostics.IsArray());
    const tJson* syntax = nullptr;
    for (const tJson& d : diagnostics.items) {
        for (const char* key : {"file", "line", "severity", "message", "subject"}) EXPECT_TRUE(d.Has(key)) << key;
        if (d["message"].text.starts_with("Vellum syntax error")) syntax = &d;
    }
    ASSERT_NE(syntax, nullptr) << run.out;
    EXPECT_EQ((*syntax)["file"].text, main);
    EXPECT_EQ((*syntax)["line"].Int(), 5);
    EXPECT_EQ((*syntax)["severity"].text, "Error");
    EXPECT_EQ((*syntax)["message"].text, "Vellum syntax error near stray_feature");

    const tJson& files = doc["files"];
    EXPECT_EQ(files["main"].Int(), 1);
    EXPECT_EQ(files["unitsLoaded"].Int(), 0);
    ASSERT_EQ(files["unitsMissing"].items.size(), 1u);
    const tJson& missing = files["unitsMissing"][0];
    EXPECT_EQ(missing["unit"].text, "P");
    EXPECT_EQ(missing["stored"].text, "$X\\p.cat");
    EXPECT_EQ(missing["resolved"].text, "$X/p.cat");
    EXPECT_EQ(missing["in"].text, main);
    EXPECT_EQ(missing["undefinedSymbol"].text, "X");

    EXPECT_EQ(doc["objects"]["Class"].Int(), 1);
    EXPECT_EQ(doc["objects"]["Class_Category"].Int(), 2);
    EXPECT_EQ(doc["objects"]["Inheritance_Relationship"].Int(), 1);
    EXPECT_EQ(doc["references"]["bound"].Int(), 0);
    EXPECT_EQ(doc["references"]["unbound"].Int(), 2);
    EXPECT_EQ(doc["references"]["ambiguous"].Int(), 0);
    EXPECT_TRUE(doc["seconds"].IsNumber());
    EXPECT_GE(doc["seconds"].number, 0.0);
    EXPECT_EQ(doc["bytes"].Int(), static_cast<long long>(text.size()));
    EXPECT_EQ(doc["status"].Int(), 1);
}

TEST_F(DiagnosticsTest, CheckAsJsonOfACleanModelCountsTheUnitFiles) {
    const std::string unit = UnitFile("P", "5D0000000200", ClassText("B", "5D0000000201"));
    scratch.Write("units/p.cat", unit);
    const std::string text = MainFile(StubText("P", "5D0000000200", "$X\\p.cat"));
    const std::string main = scratch.Write("m.mdl", text);
    const std::string other = scratch.Write("n.mdl", MainFile(ClassText("N", "5D0000000401")));

    const tRun run = RunLum({"check", "--format", "json", "-D", "X=" + (scratch / "units").string(), main, other}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    const tJson doc = JsonOf(run.out);
    EXPECT_EQ(doc["files"]["main"].Int(), 2);
    EXPECT_EQ(doc["files"]["unitsLoaded"].Int(), 1);
    EXPECT_TRUE(doc["files"]["unitsMissing"].IsArray());
    EXPECT_TRUE(doc["files"]["unitsMissing"].items.empty());
    EXPECT_EQ(doc["bytes"].Int(), static_cast<long long>(text.size() + unit.size() + ReadFile(other).size()));
    EXPECT_EQ(doc["objects"]["Class"].Int(), 2);
    EXPECT_EQ(doc["status"].Int(), 0);
    for (const tJson& d : doc["diagnostics"].items) EXPECT_EQ(d["severity"].text, "Information") << d["message"].text;
}

// A second opinion on the JSON, from an independent reader when one is installed.
TEST_F(DiagnosticsTest, JsonOutputsReadWithPython) {
    if (RunProgram("python3", {"-c", "pass"}, scratch).status != 0) GTEST_SKIP() << "no python3";
    const std::string main = scratch.Write("q\"uote\tdir/m.mdl", MainFile(ClassText("Größe", "5D0000000101") +
                                                                     StubText("P", "5D0000000200", "$X\\p.cat")));
    const std::string reader = "import json,sys; json.load(sys.stdin)";
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"check", "--format", "json", main},
          std::vector<std::string>{"refs", "--format", "json", main},
          std::vector<std::string>{"stats", "--format", "json", main},
          std::vector<std::string>{"find", "--format", "json", main, "5D0000000101"}}) {
        SCOPED_TRACE(args.front());
        const tRun run = RunLum(args, scratch);
        ASSERT_EQ(run.status, 0) << Describe(run);
        JsonOf(run.out);
        const std::string saved = scratch.Write("out.json", run.out);
        const tRun python = RunProgram("python3", {"-c", reader}, scratch, saved);
        EXPECT_EQ(python.status, 0) << python.err << run.out;
    }
}

}  // namespace
}  // namespace lumcli::test
