// The command line and the exit status: help, mistakes (status 2 with a
// "lum: " line naming them, nothing on standard output), unreadable inputs,
// and the model's own status (0 clean, 1 errors) from every command.

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

class UsageTest : public ::testing::Test {
protected:
    void SetUp() override {
        scratch.Write("m.mdl", MainFile(ClassText("A", "5D0000000101")));
        scratch.Write("n.mdl", MainFile(ClassText("N", "5D0000000401")));
        scratch.Write("x.map", "X=/x\n");
    }
    // Each run reads both models, in code page 1252 as given.
    void ExpectTwoModels(const std::vector<std::vector<std::string>>& runs) const {
        for (const std::vector<std::string>& args : runs) {
            const tRun run = scratch.Lum(args);
            EXPECT_EQ(run.status, 0) << Describe(run);
            EXPECT_TRUE(Contains(run.out, "\nfiles: 2 main, 0 unit files loaded, 0 missing\ncode page: 1252 (given)"));
        }
    }
    tScratchDir scratch;
};

TEST_F(UsageTest, HelpGoesToStandardOutput) {
    for (const auto& [args, parts] : std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>>{
             {{"--help"}, {"Usage: lum", "check", "print", "refs", "find", "stats", "export", "Exit status: 0 clean"}},
             {{"check", "--help"}, {"Usage: lum check", "--pathmap", "-D", "--search-dir", "--strict", "--format"}},
             {{"find", "-h"}, {"Usage: lum find", "simple name"}}}) {
        const tRun run = scratch.Lum(args);
        EXPECT_EQ(run.status, 0) << Describe(run);
        EXPECT_EQ(run.err, "");
        for (const std::string& part : parts) EXPECT_TRUE(Contains(run.out, part)) << part << "\n" << run.out;
    }
}

TEST_F(UsageTest, MistakesEndWithStatusTwoAndALineThatNamesThem) {
    for (const auto& [args, named] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{}, "subcommand"},
             {{"verify", "m.mdl"}, "subcommand"},
             {{"check", "--colour", "m.mdl"}, "--colour"},
             {{"check"}, "MODEL"},
             {{"find", "m.mdl"}, "MODEL"},
             {{"check", "--codepage", "x", "m.mdl"}, "--codepage"},
             {{"check", "--codepage", "0", "m.mdl"}, "--codepage"},
             {{"check", "m.mdl", "--codepage"}, "--codepage"},
             {{"check", "--format", "xml", "m.mdl"}, "xml"},
             {{"check", "-D", "NOEQUALS", "m.mdl"}, "-D takes SYMBOL=PATH, not 'NOEQUALS'"},
             {{"check", "-D", "=/tmp", "m.mdl"}, "-D takes SYMBOL=PATH, not '=/tmp'"},
             {{"print", "--format", "json", "m.mdl"}, "--format"},
             {{"check", "-o", "out.txt", "m.mdl"}, "-o"},
             {{"stats", "--unresolved", "m.mdl"}, "--unresolved"},
             {{"check", "m.mdl", "absent.mdl"}, "cannot open model file 'absent.mdl'"},
             {{"export", "."}, "cannot open model file '.'"},
             {{"check", "--pathmap", "absent.map", "m.mdl"}, "cannot open path map 'absent.map'"},
             {{"print", "-o", "no/such/dir/out.txt", "m.mdl"}, "cannot write 'no/such/dir/out.txt'"},
             {{"export", "-o", ".", "m.mdl"}, "cannot write '.'"}}) {
        const tRun run = scratch.Lum(args);
        EXPECT_EQ(run.status, 2) << named << "\n" << Describe(run);
        EXPECT_EQ(run.out, "") << named;
        EXPECT_TRUE(run.err.starts_with("lum: ") && Contains(LineWith(run.err, "lum: "), named)) << named << run.err;
    }
}

// Options may stand before, between or after the models; -D, --pathmap and
// --search-dir take one word each, so the models after them are models.
TEST_F(UsageTest, OptionsMayComeAnywhereAndTakeOneValueEach) {
    ExpectTwoModels({{"check", "m.mdl", "n.mdl", "--codepage", "1252", "-D", "X=/x", "--pathmap", "x.map"},
                     {"check", "m.mdl", "--codepage", "1252", "n.mdl", "--search-dir", "."},
                     {"check", "-D", "X=/x", "--search-dir", ".", "--codepage", "1252", "m.mdl", "n.mdl"},
                     {"check", "--codepage", "1252", "-DX=/x", "m.mdl", "n.mdl"},
                     {"check", "--codepage", "1252", "--pathmap", "x.map", "m.mdl", "n.mdl"},
                     {"check", "--codepage", "1252", "--search-dir", ".", "m.mdl", "n.mdl"}});
}

// An error makes status 1 for every command, which still does its work; a
// warning does not, even under --strict.
TEST_F(UsageTest, EveryCommandAnswersTheModelsStatus) {
    scratch.Write("warned.mdl", MainFile("\t    (object Nope \"N\"\n\t\tquid \t\"Q3\")\n" + ClassText("A", "Q1")));
    scratch.Write("faulty.mdl", FileHeader() + "stray_feature 1\n" + MainFile(ClassText("A", "Q1"), ""));
    using tCase = std::tuple<std::string, std::string, std::string, int, int>;  // file, said, code, line, status
    for (const auto& [file, said, code, line, status] : std::vector<tCase>{
             {"warned.mdl", ": Warning: Could not create class 'Nope'. No metaclass found with such a name",
              "UnknownClass", 0, 0},
             {"faulty.mdl", ":5: Error: Vellum syntax error near stray_feature", "SyntaxError", 5, 1}}) {
        EXPECT_EQ(DiagnosticLines(scratch.Lum({"check", file}).out).at(1), file + said);
        const Json doc = JsonOf(scratch.Lum({"check", "--format", "json", file}).out);
        EXPECT_EQ(doc["diagnostics"][1]["code"], code);
        EXPECT_EQ(doc["diagnostics"][1]["line"], line);
        EXPECT_EQ(doc["status"], status);
        for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
                 {"check", "--strict"}, {"print"}, {"refs", "--format", "json"}, {"stats"}, {"export"},
                 {"find", "A"}}) {
            args.insert(args.begin() + 1, file);
            const tRun run = scratch.Lum(args);
            EXPECT_EQ(run.status, status) << Describe(run);
            EXPECT_FALSE(run.out.empty()) << args.front();
        }
    }
}

}  // namespace
}  // namespace lumcli::test
