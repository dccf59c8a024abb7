// Path map files as written by hand or by SaveToFile, and the printed table.

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "loading/loading_fixture.h"

namespace lum::test {
namespace {

using Entries = std::vector<std::pair<std::wstring, std::wstring>>;

class PathMapFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        InitializeLUM();
        dir = fs::temp_directory_path() /
              ("lum-map-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        FinalizeLUM();
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    // Loads a map file holding exactly `bytes`.
    void LoadBytes(const std::string& bytes) {
        WriteBytes(dir / "paths.map", bytes);
        resolver.LoadFromFile(Wide(dir / "paths.map"));
    }

    static Entries EntriesOf(const ClumVirtualPathResolver& from) {
        Entries out;
        for (const auto& [symbol, path] : from.GetOriginalPaths()) out.emplace_back(symbol, path);
        return out;
    }
    Entries Map() const { return EntriesOf(resolver); }

    std::wstring Resolve(const wchar_t* path) { return resolver.ResolvePath(WString(path), nullptr); }

    // What PrintTable writes to the standard wide output.
    std::wstring Printed() const {
        std::wostringstream captured;
        std::wstreambuf* previous = std::wcout.rdbuf(captured.rdbuf());
        resolver.PrintTable();
        std::wcout.rdbuf(previous);
        return captured.str();
    }

    fs::path dir;
    ClumVirtualPathResolver resolver;
};

// --- Reading --------------------------------------------------------------

TEST_F(PathMapFileTest, EntriesEndAtLineFeedsAndSemicolons) {
    LoadBytes("A=C:\\one;B=D:\\two");
    EXPECT_EQ(Map(), (Entries{{L"a", L"C:\\one"}, {L"b", L"D:\\two"}}));
    LoadBytes("Lib=E:\\lib\nDOC=F:\\doc=x\n");
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$LIB\\p.cat"), L"E:\\lib\\p.cat");
    EXPECT_EQ(Resolve(L"$b\\f"), L"D:\\two\\f") << "a second file adds to the map";
    EXPECT_EQ(std::wstring(resolver.GetOriginalPaths().at(L"doc")), L"F:\\doc=x") << "a second '=' is path text";
}

TEST_F(PathMapFileTest, NothingIsTrimmed) {
    LoadBytes("A = C:\\one\n\tB\t=x\n");
    EXPECT_EQ(Map(), (Entries{{L"a ", L" C:\\one"}, {L" b ", L"x"}}));
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$A\\f"), L"$A\\f");
}

TEST_F(PathMapFileTest, LineWithoutEqualsStartsTheNextSymbol) {
    LoadBytes("comment line\nLIB=D:\\x\n");
    EXPECT_EQ(Map(), (Entries{{L"comment line lib", L"D:\\x"}}));
}

TEST_F(PathMapFileTest, CarriageReturnsStayInTheStoredPathOnly) {
    LoadBytes("LIB=D:\\x\r\nDOC=E:\\d\r\n");
    EXPECT_EQ(Map(), (Entries{{L"doc", L"E:\\d\r"}, {L"lib", L"D:\\x\r"}}));
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$LIB\\a"), L"D:\\x\\a");
    EXPECT_EQ(Resolve(L"$doc\\a"), L"E:\\d\\a");
}

TEST_F(PathMapFileTest, EmptySymbolsAndPaths) {
    // Entries ended by a line feed are kept whatever they hold; the last one,
    // without line end, only when both halves have text.
    LoadBytes("=x\nA=\nB=");
    EXPECT_EQ(Map(), (Entries{{L"", L"x"}, {L"a", L""}}));
    resolver = ClumVirtualPathResolver();
    LoadBytes("=y");
    EXPECT_TRUE(Map().empty());
    LoadBytes("");
    EXPECT_TRUE(Map().empty());
}

TEST_F(PathMapFileTest, LaterEntriesReplaceEarlierOnes) {
    resolver.AddPath(L"keep", L"K:\\");
    resolver.AddPath(L"lib", L"old");
    LoadBytes("LIB=new\nlib=newer\n");
    EXPECT_EQ(Map(), (Entries{{L"lib", L"newer"}, {L"keep", L"K:\\"}}));
}

TEST_F(PathMapFileTest, MissingFileAddsNothing) {
    resolver.AddPath(L"keep", L"K:\\");
    resolver.LoadFromFile(Wide(dir / "absent.map"));
    resolver.LoadFromFile(L"");
    EXPECT_EQ(Map(), (Entries{{L"keep", L"K:\\"}}));
}

TEST_F(PathMapFileTest, StoredFileNamesAreFound) {
    WriteBytes(dir / "Maps" / "Paths.MAP", "lib=D:\\x\n");
    resolver.LoadFromFile(Wide(dir) + L"\\maps\\paths.map");
    EXPECT_EQ(Map(), (Entries{{L"lib", L"D:\\x"}}));
}

TEST_F(PathMapFileTest, TextIsReadThroughTheCodePage) {
    LoadBytes("caf\xe9=C:\\\x80uro\n");
    EXPECT_EQ(Map(), (Entries{{L"caf\u00e9", L"C:\\\u20acuro"}}));
}

// --- Writing --------------------------------------------------------------

TEST_F(PathMapFileTest, SaveWritesOneLineAnEntryInMapOrder) {
    resolver.AddPath(L"Lib", L"D:\\x");
    resolver.AddPath(L"b", L"$LIB(beta)\\*");
    resolver.AddPath(L"HERE", L"&\\units");
    resolver.SaveToFile(Wide(dir / "out.map"));
    EXPECT_EQ(ReadBytes(dir / "out.map"), "b=$LIB(beta)\\*\nlib=D:\\x\nhere=&\\units\n");
}

TEST_F(PathMapFileTest, SaveThenLoadReproducesTheMap) {
    resolver.AddPath(L"Lib", L"D:\\x");
    resolver.AddPath(L"b", L"$LIB(beta)\\*");
    resolver.AddPath(L"here", L"&\\units");
    resolver.AddPath(L" spaced ", L" C:\\a b ");
    resolver.AddPath(L"eq", L"C:\\a=b");
    resolver.AddPath(L"caf\u00e9", L"C:\\r\u00e9sum\u00e9\r");
    resolver.AddPath(L"empty", L"");
    resolver.SaveToFile(Wide(dir / "out.map"));

    ClumVirtualPathResolver loaded;
    loaded.LoadFromFile(Wide(dir / "out.map"));
    EXPECT_EQ(EntriesOf(loaded), Map());
}

TEST_F(PathMapFileTest, SaveWritesCharactersBeyondEightBitsAsQuestionMarks) {
    resolver.AddPath(L"u", L"C:\\\u0416\u4e2d");
    resolver.SaveToFile(Wide(dir / "out.map"));
    EXPECT_EQ(ReadBytes(dir / "out.map"), "u=C:\\??\n");
}

TEST_F(PathMapFileTest, SaveToAnUnopenableFileDoesNothing) {
    resolver.AddPath(L"lib", L"D:\\x");
    resolver.SaveToFile(Wide(dir / "no" / "such" / "dir" / "out.map"));
    resolver.SaveToFile(Wide(dir));
    EXPECT_FALSE(fs::exists(dir / "no"));
    EXPECT_EQ(Map(), (Entries{{L"lib", L"D:\\x"}}));
}

// --- Printing -------------------------------------------------------------

TEST_F(PathMapFileTest, PrintTableShowsTheReducedMap) {
    EXPECT_EQ(Printed(), L"");
    resolver.AddPath(L"Lib", L"D:/x/$b");
    resolver.AddPath(L"b", L"y");
    resolver.AddPath(L"self", L"$self");
    EXPECT_EQ(Printed(), L"") << "nothing is reduced yet";
    resolver.ReduceMap();
    EXPECT_EQ(Printed(), L"b=y\nlib=D:\\x\\y\n");
}

}  // namespace
}  // namespace lum::test
