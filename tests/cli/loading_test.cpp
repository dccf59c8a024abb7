// Loading a model split over files: unit files placed by path symbols (-D,
// --pathmap, CURDIR), found next to their holder or in search directories,
// missing ones reported with advice, and every file named in diagnostics
// the way the user can open it from where the tool was run.

#include <algorithm>

#include "cli/model_text.h"
#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

// Class A of the main file derives from class B of package P, whose unit
// file is stored as `stored`.
std::string MainWithStub(const std::string& stored) {
    return MainFile(ClassText("A", "Q1", SuperclassText("Q2", "Logical View::P::B", "Q201")) +
                    StubText("P", "Q200", stored));
}

// The diagnostics of a check, less the first (the code page chosen).
std::vector<std::string> Said(const tRun& run) {
    std::vector<std::string> lines = DiagnosticLines(run.out);
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
}

enum class tFate { Loaded, Missing, NotRead };
// What the summary of `lum check` says of files for each fate of unit P.
const char* const Files[] = {"\nfiles: 1 main, 1 unit files loaded, 0 missing\n",
                             "\nfiles: 1 main, 0 unit files loaded, 1 missing\n",
                             "\nfiles: 1 main, 0 unit files loaded, 0 missing\n"};
struct tLoading {
    std::string what;
    std::string stored;             // the stub's file name as the model spells it
    std::string unitAt;             // where p.cat lies
    std::vector<std::string> args;  // after "check model/m.mdl"
    tFate fate;
    std::vector<std::string> said;  // every diagnostic after the code page; '@' is the scratch directory
};

void ExpectLoading(const std::vector<tLoading>& cases) {
    for (const tLoading& c : cases) {
        SCOPED_TRACE(c.what);
        tScratchDir scratch;
        scratch.Write("model/m.mdl", MainWithStub(c.stored));
        scratch.Write(c.unitAt, UnitFile("P", "Q200", ClassText("B", "Q201")));
        scratch.Write("right.map", "Y=/nowhere;X=units\r\nZ=/elsewhere\r\n");
        scratch.Write("wrong.map", "X=nowhere\n");
        std::vector<std::string> args{"check", "model/m.mdl"}, said = c.said;
        args.insert(args.end(), c.args.begin(), c.args.end());
        for (std::string& line : said) {
            if (const std::size_t at = line.find('@'); at != std::string::npos) line.replace(at, 1, scratch / "");
        }
        const tRun run = scratch.Lum(args);
        const bool strict = std::find(args.begin(), args.end(), "--strict") != args.end();
        EXPECT_EQ(run.status, strict && c.fate == tFate::Missing ? 1 : 0) << Describe(run);
        EXPECT_EQ(Said(run), said) << run.out;
        EXPECT_TRUE(Contains(run.out, Files[static_cast<int>(c.fate)])) << run.out;
    }
}

TEST(LoadingTest, UnitFilesAreFoundAsTheOptionsSay) {
    const std::string missing = "model/m.mdl: Warning: unit 'P' not loaded: stored path '$X\\p.cat', resolved to ";
    const std::string advice = "model/m.mdl: Information: the symbol 'X' is not defined: define it with -D X=DIR or "
                               "in a --pathmap file";
    ExpectLoading({
        {"-D", "$X\\p.cat", "units/p.cat", {"-D", "X=units"}, tFate::Loaded, {}},
        {"-D in one word, symbols in any case", "$X\\p.cat", "units/p.cat", {"-Dx=units"}, tFate::Loaded, {}},
        {"file names in any case", "$X\\P.CAT", "units/p.cat", {"-D", "X=units"}, tFate::Loaded, {}},
        {"path map, CRLF and ;", "$X\\p.cat", "units/p.cat", {"--pathmap", "right.map"}, tFate::Loaded, {}},
        {"-D over the map", "$X\\p.cat", "units/p.cat", {"--pathmap", "wrong.map", "-D", "X=units"}, tFate::Loaded, {}},
        {"the map's place", "$X\\p.cat", "units/p.cat", {"--pathmap", "wrong.map"}, tFate::Missing,
         {missing + "'nowhere/p.cat'"}},
        {"undefined symbol", "$X\\p.cat", "units/p.cat", {}, tFate::Missing, {missing + "'$X/p.cat'", advice}},
        {"strict", "$X\\p.cat", "units/p.cat", {"--strict"}, tFate::Missing,
         {"model/m.mdl: Error: unit 'P' not loaded: stored path '$X\\p.cat', resolved to '$X/p.cat'", advice}},
        {"main files only", "$X\\p.cat", "units/p.cat", {"--no-subunits", "--strict", "-DX=units"}, tFate::NotRead, {}},
        {"CURDIR", "$CURDIR\\units\\p.cat", "model/units/p.cat", {"--strict"}, tFate::Loaded, {}},
        {"CURDIR defined", "$CURDIR\\units\\p.cat", "model/units/p.cat", {"-D", "CURDIR=elsewhere"}, tFate::Missing,
         {"model/m.mdl: Warning: unit 'P' not loaded: stored path '$CURDIR\\units\\p.cat', resolved to "
          "'elsewhere/units/p.cat'"}},
        {"& the holder's directory", "&\\sub\\p.cat", "model/sub/p.cat", {}, tFate::Loaded, {}},
    });
}

// A unit file found elsewhere than stored is loaded and noted (the note once
// took the unit's name from a stub that loading had deleted).
TEST(LoadingTest, UnitFilesAreFoundNextToTheirHolderOrInSearchDirectories) {
    const std::string found = "model/m.mdl: Information: Unit 'P' (stored as '$X\\p.cat') found at ";
    ExpectLoading({
        {"next to the holder", "$X\\p.cat", "model/p.cat", {}, tFate::Loaded, {found + "'model/p.cat'"}},
        {"in a search directory, in any case", "$X\\p.cat", "units/P.CAT", {"--search-dir", "units"}, tFate::Loaded,
         {found + "'@units/P.CAT'"}},
    });
    // The note follows what reading the file said; the file may hold missing units of its own.
    tScratchDir scratch;
    scratch.Write("model/m.mdl", MainWithStub("$GONE\\p.cat"));
    scratch.Write("model/p.cat", UnitFile("P", "Q200", ClassText("B", "Q201") + StubText("Q", "Q300", "$GONE\\q.cat")) +
                                     "stray 1\n");
    const tRun run = scratch.Lum({"check", "model/m.mdl"});
    EXPECT_EQ(run.status, 1) << Describe(run);
    EXPECT_EQ(Said(run), (std::vector<std::string>{
                             "model/p.cat:18: Error: Vellum syntax error near stray",
                             "model/m.mdl: Information: Unit 'P' (stored as '$GONE\\p.cat') found at 'model/p.cat'",
                             "model/p.cat: Warning: unit 'Q' not loaded: stored path '$GONE\\q.cat', resolved to "
                             "'$GONE/q.cat'",
                             "model/p.cat: Information: the symbol 'GONE' is not defined: define it with -D GONE=DIR "
                             "or in a --pathmap file"}));
}

// p.cat, faulty on line 15, holds the stub of Q, whose file is missing. A
// file below the main file's directory is named through that directory as
// the user named it; a file outside it by its absolute path.
TEST(LoadingTest, DiagnosticsNameEveryFileTheSameWayAsTheUserNamedTheMainFile) {
    tScratchDir scratch;
    const std::string unit = UnitFile("P", "Q200", StubText("Q", "Q300", "$X\\q.cat")) + "stray 1\n";
    scratch.Write("model/m.mdl", MainWithStub("$X\\p.cat"));
    scratch.Write("model/units/p.cat", unit);
    scratch.Write("units/p.cat", unit);
    fs::create_directories(scratch / "other");
    for (const std::vector<std::string>& c : std::vector<std::vector<std::string>>{  // cwd, main, X, p.cat named
             {"", "model/m.mdl", "model/units", "model/units/p.cat"},
             {"model", "m.mdl", scratch / "model/units", "units/p.cat"},
             {"model", "./m.mdl", "units", "units/p.cat"},
             {"other", "../model/m.mdl", "../model/units", "../model/units/p.cat"},
             {"other", scratch / "model/m.mdl", "../model/units", scratch / "model/units/p.cat"},
             {"model", "m.mdl", "../units", scratch / "units/p.cat"}}) {
        SCOPED_TRACE(c[0] + ": " + c[1] + " with X=" + c[2]);
        const tRun run = scratch.Lum({"check", "-D", "X=" + c[2], c[1]}, c[0]);
        EXPECT_EQ(run.status, 1) << Describe(run);
        EXPECT_EQ(Said(run), (std::vector<std::string>{
                                 c[3] + ":15: Error: Vellum syntax error near stray",
                                 c[3] + ": Warning: unit 'Q' not loaded: stored path '$X\\q.cat', resolved to '" +
                                     c[2] + "/q.cat'"}));
        const Json doc = JsonOf(scratch.Lum({"check", "--format", "json", "-D", "X=" + c[2], c[1]}, c[0]).out);
        EXPECT_EQ(doc["diagnostics"][0]["file"], c[1]);
        EXPECT_EQ(doc["diagnostics"][1]["file"], c[3]);
        EXPECT_EQ(doc["files"]["unitsMissing"][0]["in"], c[3]);
        EXPECT_EQ(JsonOf(scratch.Lum({"export", "-D", "X=" + c[2], c[1]}, c[0]).out)["files"],
                  Json::array({{{"path", c[1]}, {"role", "main"}}, {{"path", c[3]}, {"role", "unit"}}}));
    }
}

}  // namespace
}  // namespace lumcli::test
