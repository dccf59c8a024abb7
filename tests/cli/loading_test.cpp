// Loading a model split over files: unit files found through path symbols
// (-D, --pathmap, CURDIR), next to their holder or in search directories,
// reported when missing; inputs that cannot be read at all.

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

// Class A in the main file derives from class B of package P, which is
// stored in a unit file of its own under units/, away from the main file.
class UnitLoadingTest : public ::testing::Test {
protected:
    void SetUp() override { scratch.Write("units/p.cat", UnitFile("P", "5D0000000200", ClassText("B", "5D0000000201"))); }

    std::string WriteMain(const std::string& storedPath, const std::string& leaf = "model/m.mdl") {
        const std::string a =
            ClassText("A", "5D0000000101", SuperclassText("5D0000000102", "Logical View::P::B", "5D0000000201"));
        return scratch.Write(leaf, MainFile(a + StubText("P", "5D0000000200", storedPath)));
    }

    static std::string Missing(const std::string& holder, const std::string& severity, const std::string& stored,
                               const std::string& resolved) {
        return holder + ": " + severity + ": unit 'P' not loaded: stored path '" + stored + "', resolved to '" +
               resolved + "'";
    }

    // The run loaded P and bound both of A's references to B.
    static void ExpectLoaded(const tRun& run) {
        EXPECT_EQ(run.status, 0) << Describe(run);
        EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 1 unit files loaded, 0 missing\n")) << run.out;
        EXPECT_TRUE(Contains(run.out, "\nreferences: 2 bound, 0 unbound, 0 ambiguous\n")) << run.out;
        for (const std::string& line : DiagnosticLines(run.out)) {
            EXPECT_FALSE(Contains(line, ": Warning: ") || Contains(line, ": Error: ")) << line;
        }
    }

    tScratchDir scratch;
    const std::string unitDir = (scratch / "units").string();
};

TEST_F(UnitLoadingTest, MissingUnitIsAWarningAndAnErrorOnlyUnderStrict) {
    const std::string main = WriteMain("$X\\p.cat");

    const tRun run = RunLum({"check", main}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "unit 'P'"), Missing(main, "Warning", "$X\\p.cat", "$X/p.cat"));
    EXPECT_EQ(LineWith(run.out, "symbol 'X'"),
              main + ": Information: the symbol 'X' is not defined: define it with -D X=DIR or in a --pathmap file");
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 0 unit files loaded, 1 missing\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "\nreferences: 0 bound, 2 unbound, 0 ambiguous\n")) << run.out;

    const tRun strict = RunLum({"check", "--strict", main}, scratch);
    EXPECT_EQ(strict.status, 1) << Describe(strict);
    EXPECT_EQ(LineWith(strict.out, "unit 'P'"), Missing(main, "Error", "$X\\p.cat", "$X/p.cat"));
    // Every command answers the same status for the same model.
    EXPECT_EQ(RunLum({"stats", "--strict", main}, scratch).status, 1);
    EXPECT_EQ(RunLum({"stats", main}, scratch).status, 0);
}

TEST_F(UnitLoadingTest, SymbolDefinedOnTheCommandLineLoadsTheUnit) {
    const std::string main = WriteMain("$X\\p.cat");
    ExpectLoaded(RunLum({"check", "-D", "X=" + unitDir, main}, scratch));
    ExpectLoaded(RunLum({"check", "--strict", "-DX=" + unitDir, main}, scratch));
    // Symbols are found without regard to case.
    ExpectLoaded(RunLum({"check", "-D", "x=" + unitDir, main}, scratch));
    // Models saved on case-insensitive file systems spell file names in any case.
    WriteMain("$X\\P.CAT");
    ExpectLoaded(RunLum({"check", "-D", "X=" + unitDir, main}, scratch));
}

TEST_F(UnitLoadingTest, PathMapFileDefinesSymbolsAndTheCommandLineOverridesIt) {
    const std::string main = WriteMain("$X\\p.cat");
    ExpectLoaded(RunLum({"check", "--pathmap", scratch.Write("plain.map", "X=" + unitDir + "\n"), main}, scratch));
    // Line ends written on Windows, and two entries on one line.
    const std::string crlf = scratch.Write("crlf.map", "Y=/nowhere;X=" + unitDir + "\r\nZ=/elsewhere\r\n");
    ExpectLoaded(RunLum({"check", "--pathmap", crlf, main}, scratch));
    // -D is applied after every map.
    const std::string wrong = scratch.Write("wrong.map", "X=" + (scratch / "nowhere").string() + "\n");
    ExpectLoaded(RunLum({"check", "--pathmap", wrong, "-D", "X=" + unitDir, main}, scratch));

    const tRun map = RunLum({"check", "--pathmap", wrong, main}, scratch);
    EXPECT_EQ(map.status, 0) << Describe(map);
    EXPECT_EQ(Slashed(LineWith(map.out, "unit 'P'")),
              Slashed(Missing(main, "Warning", "$X\\p.cat", (scratch / "nowhere" / "p.cat").string())));
    EXPECT_EQ(LineWith(map.out, "is not defined"), "");
}

TEST_F(UnitLoadingTest, MapWithoutTheStoredSymbolLeavesTheUnitMissing) {
    const std::string main = WriteMain("$X\\p.cat");
    const std::string other = scratch.Write("other.map", "Y=" + unitDir + "\n");
    const tRun run = RunLum({"check", "--pathmap", other, main}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "unit 'P'"), Missing(main, "Warning", "$X\\p.cat", "$X/p.cat"));
    EXPECT_TRUE(Contains(run.out, main + ": Information: the symbol 'X' is not defined")) << run.out;

    const tRun strict = RunLum({"check", "--strict", "--pathmap", other, main}, scratch);
    EXPECT_EQ(strict.status, 1) << Describe(strict);
    EXPECT_EQ(LineWith(strict.out, "unit 'P'"), Missing(main, "Error", "$X\\p.cat", "$X/p.cat"));
}

TEST_F(UnitLoadingTest, NoSubunitsReadsTheMainFileOnly) {
    const std::string main = WriteMain("$X\\p.cat");
    const tRun run = RunLum({"check", "--no-subunits", "-D", "X=" + unitDir, main}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 0 unit files loaded, ")) << run.out;
    EXPECT_TRUE(Contains(run.out, "\nreferences: 0 bound, 2 unbound, 0 ambiguous\n")) << run.out;

    // The stub stays where it was, and nothing of the unit file is there.
    const tRun stub = RunLum({"find", "--no-subunits", "-D", "X=" + unitDir, main, "Logical View::P"}, scratch);
    EXPECT_EQ(stub.out, "Class_Category Logical View::P (quid 5D0000000200)\n") << Describe(stub);
    const tRun b = RunLum({"find", "--no-subunits", "-D", "X=" + unitDir, main, "Logical View::P::B"}, scratch);
    EXPECT_EQ(b.out, "") << Describe(b);
}

TEST_F(UnitLoadingTest, CurdirStandsForTheMainFilesDirectoryUnlessDefined) {
    scratch.Write("model/units/p.cat", ReadFile(scratch / "units/p.cat"));
    const std::string main = WriteMain("$CURDIR\\units\\p.cat");
    const tRun run = RunLum({"check", main}, scratch);
    ExpectLoaded(run);
    EXPECT_EQ(LineWith(run.out, "found at"), "");

    const std::string elsewhere = (scratch / "elsewhere").string();
    const tRun defined = RunLum({"check", "-D", "CURDIR=" + elsewhere, main}, scratch);
    EXPECT_EQ(defined.status, 0) << Describe(defined);
    EXPECT_EQ(Slashed(LineWith(defined.out, "unit 'P'")),
              Slashed(Missing(main, "Warning", "$CURDIR\\units\\p.cat", elsewhere + "/units/p.cat")));
}

// "&" stands for the directory of the file that holds the stub, however the
// main file was named on the command line.
TEST_F(UnitLoadingTest, RootMarkerIsTheHoldersDirectoryWhateverTheMainFileIsCalled) {
    scratch.Write("model/sub/p.cat", ReadFile(scratch / "units/p.cat"));
    const std::string main = WriteMain("&\\sub\\p.cat");
    ExpectLoaded(RunLum({"check", main}, scratch));
    ExpectLoaded(RunLumIn(scratch.Path().string(), {"check", "model/m.mdl"}, scratch));
    ExpectLoaded(RunLumIn((scratch / "model").string(), {"check", "./m.mdl"}, scratch));
    ExpectLoaded(RunLumIn((scratch / "model").string(), {"check", "m.mdl"}, scratch));
    ExpectLoaded(RunLumIn((scratch / "units").string(), {"check", "../model/m.mdl"}, scratch));
}

TEST_F(UnitLoadingTest, UnitFileIsLookedForNextToItsHolderAndInSearchDirectories) {
    const std::string main = WriteMain("$X\\p.cat");
    const tRun searched = RunLum({"check", "--search-dir", unitDir, main}, scratch);
    ExpectLoaded(searched);
    EXPECT_EQ(LineWith(searched.out, "found at"),
              main + ": Information: Unit 'P' (stored as '$X\\p.cat') found at '" + unitDir + "/p.cat'");

    const std::string beside = (scratch / "model" / "p.cat").string();
    scratch.Write("model/p.cat", ReadFile(scratch / "units/p.cat"));
    const tRun run = RunLum({"check", main}, scratch);
    ExpectLoaded(run);
    EXPECT_EQ(LineWith(run.out, "found at"),
              main + ": Information: Unit 'P' (stored as '$X\\p.cat') found at '" + beside + "'");
    EXPECT_EQ(LineWith(run.out, "is not defined"), "");
}

TEST_F(UnitLoadingTest, UnitsInsideUnitFilesLoadInTheSameRun) {
    scratch.Write("units/p.cat",
                  UnitFile("P", "5D0000000200", ClassText("B", "5D0000000201") + StubText("Q", "5D0000000300", "$X\\q\\q.cat")));
    const std::string main = WriteMain("$X\\p.cat");

    // Q's file is not there yet: the stub inside p.cat is reported with p.cat as its holder.
    const tRun missing = RunLum({"check", "-D", "X=" + unitDir, main}, scratch);
    EXPECT_EQ(missing.status, 0) << Describe(missing);
    const std::string line = LineWith(missing.out, "unit 'Q'");
    EXPECT_EQ(Slashed(line), Slashed(unitDir + "/p.cat: Warning: unit 'Q' not loaded: stored path '$X/q/q.cat', "
                                               "resolved to '" + unitDir + "/q/q.cat'"));
    EXPECT_TRUE(Contains(missing.out, "\nfiles: 1 main, 1 unit files loaded, 1 missing\n")) << missing.out;

    scratch.Write("units/q/q.cat", UnitFile("Q", "5D0000000300", ClassText("C", "5D0000000301")));
    const tRun run = RunLum({"check", "--strict", "-D", "X=" + unitDir, main}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 2 unit files loaded, 0 missing\n")) << run.out;
    const tRun c = RunLum({"find", "-D", "X=" + unitDir, main, "Logical View::P::Q::C"}, scratch);
    EXPECT_EQ(c.out, "Class Logical View::P::Q::C (quid 5D0000000301)\n") << Describe(c);
}

TEST_F(UnitLoadingTest, UnitInsideAUnitFileIsLookedForNextToThatFile) {
    scratch.Write("units/p.cat", UnitFile("P", "5D0000000200", StubText("Q", "5D0000000300", "$OLD\\q.cat")));
    scratch.Write("units/q.cat", UnitFile("Q", "5D0000000300", ClassText("C", "5D0000000301")));
    const std::string main = WriteMain("$X\\p.cat");

    const tRun run = RunLum({"check", "-D", "X=" + unitDir, main}, scratch);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 2 unit files loaded, 0 missing\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "Unit 'Q' (stored as '$OLD\\q.cat') found at '" + unitDir + "/q.cat'")) << run.out;
}

// A model file or path map that cannot be read stops the tool before any
// report: status 2, one line on standard error, nothing on standard output.
TEST_F(UnitLoadingTest, UnreadableInputsEndWithStatusTwo) {
    const std::string main = WriteMain("$X\\p.cat");
    const std::string absent = (scratch / "absent.mdl").string();
    const std::string directory = (scratch / "units").string();
    struct tCase {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<tCase> cases = {
        {{"check", absent}, "lum: cannot open model file '" + absent + "'\n"},
        {{"check", main, absent}, "lum: cannot open model file '" + absent + "'\n"},
        {{"print", absent}, "lum: cannot open model file '" + absent + "'\n"},
        {{"check", directory}, "lum: cannot open model file '" + directory + "'\n"},
        {{"check", "--pathmap", absent, main}, "lum: cannot open path map '" + absent + "'\n"},
        {{"check", "--pathmap", directory, main}, "lum: cannot open path map '" + directory + "'\n"},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.args[1] + " " + c.args.back());
        const tRun run = RunLum(c.args, scratch);
        EXPECT_EQ(run.status, 2) << Describe(run);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace lumcli::test
