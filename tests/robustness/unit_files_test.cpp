// Unit files and path maps that cannot work out: symbols defined in a
// cycle, unit files that hold each other, unit paths that name a directory,
// an unreadable file or nothing, and ten thousand missing units. The tool
// ends promptly and names each failure.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include <sys/stat.h>
#include <unistd.h>

#include "robustness/hostile_support.h"

namespace robustness {
namespace {

class UnitFilesTest : public ::testing::Test {
protected:
    static std::string NotLoaded(const std::string& holder, const std::string& unit, const std::string& stored,
                                 const std::string& resolved) {
        return holder + ": Warning: unit '" + unit + "' not loaded: stored path '" + stored + "', resolved to '" +
               resolved + "'";
    }

    tScratchDir scratch;
    const std::string unitDir = (scratch / "units").string();
};

TEST_F(UnitFilesTest, MapSymbolsDefinedInACycleFailThePathsThatUseThem) {
    scratch.Write("units/q.cat", UnitFile("Q", "5D0000000300", ClassText("C", "5D0000000301")));
    const std::string map = scratch.Write("cycle.map", "A=$B\nB=$C\nC=$A\nOK=" + unitDir + "\n");
    const std::string main = scratch.Write(
        "m.mdl", MainFile(StubText("P", "5D0000000200", "$A\\p.cat") + StubText("Q", "5D0000000300", "$OK\\q.cat")));

    const tRun run = RunTool({"check", "--pathmap", map, main}, scratch, 30);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "unit 'P'"), NotLoaded(main, "P", "$A\\p.cat", "$A/p.cat"));
    EXPECT_EQ(LineWith(run.out, "symbol 'A'"),
              main + ": Information: the symbol 'A' cannot be expanded: its definition leads back to itself");
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 1 unit files loaded, 1 missing\n")) << run.out;
    EXPECT_EQ(RunTool({"check", "--strict", "--pathmap", map, main}, scratch, 30).status, 1);
}

TEST_F(UnitFilesTest, UnitFilesThatHoldEachOtherAreEachReadOnce) {
    scratch.Write("units/a.cat", UnitFile("A", "5D0000000200", ClassText("CA", "5D0000000201") +
                                                                   StubText("B", "5D0000000300", "$X\\b.cat")));
    scratch.Write("units/b.cat", UnitFile("B", "5D0000000300", ClassText("CB", "5D0000000301") +
                                                                   StubText("A", "5D0000000200", "$X\\a.cat")));
    const std::string main = scratch.Write("m.mdl", MainFile(StubText("A", "5D0000000200", "$X\\a.cat")));

    const tRun run = RunTool({"check", "-D", "X=" + unitDir, main}, scratch, 30);
    EXPECT_LE(run.status, 1) << Describe(run);
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 2 unit files loaded, ")) << run.out;
    EXPECT_TRUE(Contains(run.out, "\n  Class: 2\n")) << run.out;
}

TEST_F(UnitFilesTest, DirectoryAndMissingUnitFilesAreReportedAndReadingGoesOn) {
    fs::create_directories(scratch / "units" / "dir.cat");
    const std::string main = scratch.Write(
        "m.mdl", MainFile(StubText("D", "5D0000000200", "$X\\dir.cat") + StubText("M", "5D0000000500", "$X\\missing.cat") +
                          ClassText("After", "5D0000000600")));

    const tRun run = RunTool({"check", "-D", "X=" + unitDir, main}, scratch, 30);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "unit 'D'"), NotLoaded(main, "D", "$X\\dir.cat", unitDir + "/dir.cat"));
    EXPECT_EQ(LineWith(run.out, "unit 'M'"), NotLoaded(main, "M", "$X\\missing.cat", unitDir + "/missing.cat"));
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 0 unit files loaded, 2 missing\n")) << run.out;
    EXPECT_EQ(RunTool({"find", "-D", "X=" + unitDir, main, "Logical View::After"}, scratch).out,
              "Class Logical View::After (quid 5D0000000600)\n");
}

TEST_F(UnitFilesTest, UnreadableUnitFileIsReported) {
    const std::string locked = scratch.Write("units/locked.cat", UnitFile("L", "5D0000000400", ClassText("CL", "5D0000000401")));
    ::chmod(locked.c_str(), 0);
    if (::access(locked.c_str(), R_OK) == 0) GTEST_SKIP() << "this user reads files of mode 000";
    const std::string main = scratch.Write("m.mdl", MainFile(StubText("L", "5D0000000400", "$X\\locked.cat")));

    const tRun run = RunTool({"check", "-D", "X=" + unitDir, main}, scratch, 30);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "unit 'L'"), NotLoaded(main, "L", "$X\\locked.cat", locked));
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 0 unit files loaded, 1 missing\n")) << run.out;
}

TEST_F(UnitFilesTest, TenThousandMissingUnitsEachGetTheirWarning) {
    const std::size_t count = 10000;
    std::string stubs;
    for (std::size_t i = 0; i < count; ++i) {
        char quid[16];
        std::snprintf(quid, sizeof quid, "5D%010zX", i + 0x1000);
        stubs += StubText(Numbered("P", i), quid, "$X\\" + Numbered("p", i) + ".cat");
    }
    const std::string main = scratch.Write("m.mdl", MainFile(stubs));

    const auto started = std::chrono::steady_clock::now();
    const tRun run = RunTool({"check", "-D", "X=" + unitDir, main}, scratch, 60);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%zu missing units checked in %.1f s\n", count, seconds);
    EXPECT_EQ(run.status, 0) << Describe(run).substr(0, 2000);
    std::size_t warnings = 0;
    for (const std::string& line : tRun::Lines(run.out)) {
        if (Contains(line, ": Warning: unit 'P")) ++warnings;
    }
    EXPECT_EQ(warnings, count);
    EXPECT_EQ(LineWith(run.out, "unit 'P9999'"), NotLoaded(main, "P9999", "$X\\p9999.cat", unitDir + "/p9999.cat"));
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, 0 unit files loaded, " + std::to_string(count) + " missing\n"));
}

}  // namespace
}  // namespace robustness
