// Resolution of stored paths: symbols, parameters, nesting, cycles, the root
// marker and the shapes of paths that survive splitting and joining.

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace lum::test {
namespace {

// Reaches the expansion steps the loader relies on.
class tOpenResolver : public ClumVirtualPathResolver {
public:
    using ClumVirtualPathResolver::FindVirtualPath;
    using ClumVirtualPathResolver::ResolvePath;

    std::vector<std::wstring> Expand(const WString& name) const {
        std::list<WString> out;
        if (!FindVirtualPath(name, out)) return {L"<none>"};
        return {out.begin(), out.end()};
    }
};

using Strings = std::vector<std::wstring>;

class PathResolverTest : public ::testing::Test {
protected:
    std::wstring Resolve(const wchar_t* path) { return resolver.ResolvePath(WString(path), nullptr); }

    // Maps the symbols, reduces the map and resolves `path`.
    std::wstring ResolveWith(const std::vector<std::pair<const wchar_t*, const wchar_t*>>& map, const wchar_t* path) {
        for (const auto& [symbol, value] : map) resolver.AddPath(symbol, value);
        resolver.ReduceMap();
        return Resolve(path);
    }

    tOpenResolver resolver;
};

// --- Symbols --------------------------------------------------------------

TEST_F(PathResolverTest, SymbolsAreFoundInAnyCaseAndStoredInLowerCase) {
    resolver.AddPath(L"Lib", L"D:\\x");
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$LIB\\a"), L"D:\\x\\a");
    EXPECT_EQ(Resolve(L"$lib\\a"), L"D:\\x\\a");
    EXPECT_EQ(Resolve(L"$lIb/a"), L"D:\\x\\a");
    ASSERT_EQ(resolver.GetOriginalPaths().size(), 1u);
    EXPECT_EQ(std::wstring(resolver.GetOriginalPaths().begin()->first), L"lib");

    // Adding the symbol again in another case replaces the entry.
    resolver.AddPath(L"LIB", L"E:\\y");
    ASSERT_EQ(resolver.GetOriginalPaths().size(), 1u);
    EXPECT_EQ(std::wstring(resolver.GetOriginalPaths().begin()->second), L"E:\\y");
}

TEST_F(PathResolverTest, OnlyTheReducedMapIsUsed) {
    resolver.AddPath(L"Lib", L"D:\\x");
    EXPECT_EQ(Resolve(L"$LIB\\a"), L"$LIB\\a") << "nothing resolves before the map is reduced";
    resolver.ReduceMap();
    resolver.AddPath(L"lib", L"E:\\y");
    EXPECT_EQ(Resolve(L"$LIB\\a"), L"D:\\x\\a") << "a later AddPath waits for the next reduction";
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$LIB\\a"), L"E:\\y\\a");

    resolver.RemovePath(L"LIB");
    EXPECT_EQ(Resolve(L"$LIB\\a"), L"$LIB\\a") << "removal, in any case, reaches the reduced map too";
    EXPECT_TRUE(resolver.GetOriginalPaths().empty());
    resolver.RemovePath(L"absent");
}

TEST_F(PathResolverTest, UnknownAndEmptySymbolsStayAsWritten) {
    resolver.AddPath(L"empty", L"");
    resolver.AddPath(L"seps", L"\\/\\");
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$NONE\\a"), L"$NONE\\a");
    EXPECT_EQ(Resolve(L"$empty\\a"), L"$empty\\a");
    EXPECT_EQ(Resolve(L"$seps\\a"), L"$seps\\a");
    EXPECT_EQ(Resolve(L"x$NONE\\a"), L"x$NONE\\a");
}

TEST_F(PathResolverTest, SymbolsAnywhereInThePathAreExpanded) {
    resolver.AddPath(L"lib", L"D:\\x");
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"C:\\$LIB\\f"), L"C:\\D:\\x\\f");
    EXPECT_EQ(Resolve(L"$lib\\$LIB"), L"D:\\x\\D:\\x");
    // The symbol is the whole rest of the component.
    EXPECT_EQ(Resolve(L"$LIBRARY\\f"), L"$LIBRARY\\f");
}

TEST_F(PathResolverTest, ExpansionsNest) {
    resolver.AddPath(L"a", L"$b\\x");
    resolver.AddPath(L"b", L"$c\\y");
    resolver.AddPath(L"c", L"C:\\root");
    resolver.AddPath(L"mid", L"$deep\\m");
    resolver.AddPath(L"deep", L"d1/d2");
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$A\\f"), L"C:\\root\\y\\x\\f");
    // Components put in place of a symbol in the middle are expanded too.
    EXPECT_EQ(Resolve(L"C:\\$mid\\f"), L"C:\\d1\\d2\\m\\f");
    EXPECT_EQ(resolver.Expand(L"a"), (Strings{L"C:", L"root", L"y", L"x"}));
}

TEST_F(PathResolverTest, ParametersFillTheStarComponents) {
    resolver.AddPath(L"lib", L"C:\\*\\src");
    resolver.AddPath(L"three", L"C:\\*\\*\\*");
    resolver.AddPath(L"outer", L"$lib(gamma)\\more");
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$LIB(beta)\\f"), L"C:\\beta\\src\\f");
    EXPECT_EQ(resolver.Expand(L"LIB(beta)"), (Strings{L"C:", L"beta", L"src"}));
    // The second star gets an empty argument and goes; the third keeps its star.
    EXPECT_EQ(resolver.Expand(L"three(beta)"), (Strings{L"C:", L"beta", L"*"}));
    // Blanks before an argument are skipped, those after it kept.
    EXPECT_EQ(resolver.Expand(L"three(a,  b ,c)"), (Strings{L"C:", L"a", L"b ", L"c"}));
    EXPECT_EQ(resolver.Expand(L"three(a,,c)"), (Strings{L"C:", L"a", L"c"}));
    // Without arguments the plain entry answers, stars included.
    EXPECT_EQ(resolver.Expand(L"lib"), (Strings{L"C:", L"*", L"src"}));
    EXPECT_EQ(Resolve(L"$OUTER\\f"), L"C:\\gamma\\src\\more\\f");

    EXPECT_EQ(resolver.Expand(L"none(beta)"), Strings{L"<none>"});
    EXPECT_EQ(resolver.Expand(L"(beta)"), Strings{L"<none>"});
    EXPECT_EQ(resolver.Expand(L"lib(beta"), Strings{L"<none>"});
}

// --- Cycles ---------------------------------------------------------------

TEST_F(PathResolverTest, SelfReferencesLeaveOnlyTheReducedMap) {
    // "a" is the first entry of the map and "d" a later one: the reduction
    // goes on correctly after dropping either.
    resolver.AddPath(L"a", L"$a\\x");
    resolver.AddPath(L"b", L"$c\\y");
    resolver.AddPath(L"c", L"C:");
    resolver.AddPath(L"d", L"D:\\$d");
    resolver.AddPath(L"e", L"$b\\z");
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$a\\f"), L"$a\\f");
    EXPECT_EQ(Resolve(L"$d\\f"), L"$d\\f");
    EXPECT_EQ(Resolve(L"$b\\f"), L"C:\\y\\f");
    EXPECT_EQ(Resolve(L"$e\\f"), L"C:\\y\\z\\f");
    EXPECT_EQ(resolver.GetOriginalPaths().size(), 5u);
    EXPECT_EQ(resolver.GetOriginalPaths().count(L"a"), 1u);
}

TEST_F(PathResolverTest, TwoEntryCycleEnds) {
    resolver.AddPath(L"a", L"$b\\1");
    resolver.AddPath(L"b", L"$a\\2");
    resolver.ReduceMap();
    // "a" meets itself through "b" and is dropped; what is left of "b" then
    // names the dropped symbol and keeps it as written.
    EXPECT_EQ(Resolve(L"$a\\f"), L"$a\\f");
    EXPECT_EQ(Resolve(L"$b\\f"), L"$a\\2\\f");
    EXPECT_EQ(resolver.GetOriginalPaths().size(), 2u);
}

TEST_F(PathResolverTest, CyclesOutsideTheEntryFailIt) {
    // "c" and "m" come before the cycle of "xa" and "xb" in map order and
    // run into it without being part of it.
    resolver.AddPath(L"c", L"$xa\\3");
    resolver.AddPath(L"m", L"C:\\$XA\\3");
    resolver.AddPath(L"xa", L"$xb\\1");
    resolver.AddPath(L"xb", L"$xa\\2");
    // Refers to itself in another case than the stored key.
    resolver.AddPath(L"s", L"$S\\4");
    resolver.AddPath(L"ok", L"D:\\ok");
    resolver.ReduceMap();
    for (const wchar_t* path : {L"$c\\f", L"$m\\f", L"$s\\f", L"$xa\\f"}) EXPECT_EQ(Resolve(path), path);
    EXPECT_EQ(Resolve(L"$xb\\f"), L"$xa\\2\\f");
    EXPECT_EQ(Resolve(L"$ok\\f"), L"D:\\ok\\f");
    EXPECT_EQ(resolver.GetOriginalPaths().size(), 6u);
}

TEST_F(PathResolverTest, KeyedExpansionStopsAtTheKey) {
    resolver.AddPath(L"lib", L"D:\\x");
    resolver.ReduceMap();
    std::list<WString> parts{L"$lib", L"$key", L"$lib"};
    EXPECT_FALSE(resolver.ResolvePath(WString(L"key"), parts));
    EXPECT_EQ(Strings(parts.begin(), parts.end()), (Strings{L"D:", L"x", L"$key", L"$lib"}));

    // A public resolution stops at a bare "$", whose name is the empty key.
    EXPECT_EQ(Resolve(L"$lib\\$\\$lib"), L"D:\\x\\$\\$lib");
}

// --- Root directory -------------------------------------------------------

TEST_F(PathResolverTest, RootMarkerServesOneResolution) {
    resolver.SetRootDir(L"C:\\m\\main.mdl");
    EXPECT_EQ(Resolve(L"&\\p.cat"), L"C:\\m\\p.cat");
    EXPECT_EQ(Resolve(L"&\\f"), L"&\\f");

    resolver.SetRootDir(L"C:\\m\\main.mdl");
    resolver.SetRootDir(L"");
    EXPECT_EQ(Resolve(L"&\\f"), L"&\\f");
}

TEST_F(PathResolverTest, RootMarkerForms) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"&\\f", L"C:\\m\\f"},
        {L"&sub\\f", L"C:\\m\\f"},
        {L"$&\\f", L"C:\\m\\f"},
        {L"$&x\\f", L"C:\\m\\f"},
        {L"&", L"C:\\m"},
        {L"a\\&\\f", L"a\\&\\f"},
        {L"a\\$&\\f", L"a\\$&\\f"},
        {L"x&\\f", L"x&\\f"},
    };
    for (const auto& [path, expected] : cases) {
        resolver.SetRootDir(L"C:/m/main.mdl");
        EXPECT_EQ(Resolve(path), expected) << path;
    }
}

TEST_F(PathResolverTest, RootDirIsTheFilesDirectory) {
    resolver.SetRootDir(L"C:\\m\\sub\\");
    EXPECT_EQ(Resolve(L"&\\f"), L"C:\\m\\f") << "a directory path loses its last directory";
    resolver.SetRootDir(L"main.mdl");
    EXPECT_EQ(Resolve(L"&\\f"), L"&\\f");
    resolver.SetRootDir(L"\\\\server\\share\\main.mdl");
    EXPECT_EQ(Resolve(L"&\\f"), L"\\\\server\\share\\f");
    resolver.SetRootDir(L"/data/m/main.mdl");
    EXPECT_EQ(Resolve(L"&\\p.cat"), L"/data\\m\\p.cat");
    // A root that itself begins with the marker does not expand forever.
    resolver.SetRootDir(L"&x\\main.mdl");
    EXPECT_EQ(Resolve(L"&\\f"), L"&x\\f");
}

TEST_F(PathResolverTest, DefinedAmpersandSymbolWinsOverTheRoot) {
    resolver.AddPath(L"&", L"E:\\amp");
    resolver.ReduceMap();
    resolver.SetRootDir(L"C:\\m\\main.mdl");
    EXPECT_EQ(Resolve(L"$&\\f"), L"E:\\amp\\f");
}

TEST_F(PathResolverTest, RootMarkerInAMapValueWaitsForEachResolution) {
    resolver.AddPath(L"here", L"&\\units");
    resolver.ReduceMap();
    resolver.SetRootDir(L"C:\\m\\main.mdl");
    EXPECT_EQ(Resolve(L"$HERE\\p.cat"), L"C:\\m\\units\\p.cat");
    resolver.SetRootDir(L"D:\\n\\other.mdl");
    EXPECT_EQ(Resolve(L"$HERE\\p.cat"), L"D:\\n\\units\\p.cat");
    EXPECT_EQ(Resolve(L"$HERE\\p.cat"), L"&\\units\\p.cat");

    // A root set while reducing is built into the map.
    resolver.SetRootDir(L"E:\\fixed\\main.mdl");
    resolver.ReduceMap();
    EXPECT_EQ(Resolve(L"$HERE\\p.cat"), L"E:\\fixed\\units\\p.cat");
}

// --- Path shapes ----------------------------------------------------------

TEST_F(PathResolverTest, PathShapes) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"", L""},
        {L"\\/\\", L""},
        {L"units/p.cat", L"units\\p.cat"},
        {L"C:/models//lib/ a.cat", L"C:\\models\\lib\\a.cat"},
        {L"\\\\server\\share\\f", L"\\\\server\\share\\f"},
        {L"\\a\\b", L"a\\b"},
        {L"//srv/share/f", L"/srv\\share\\f"},
        {L"/data/m/p.cat", L"/data\\m\\p.cat"},
        {L"/", L""},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(Resolve(path), expected) << path;
}

TEST_F(PathResolverTest, AbsoluteMapValuesKeepTheirRoot) {
    EXPECT_EQ(ResolveWith({{L"lib", L"/srv/lib"}, {L"net", L"\\\\srv\\share"}}, L"$LIB\\a.cat"), L"/srv\\lib\\a.cat");
    EXPECT_EQ(Resolve(L"$net\\a.cat"), L"\\\\srv\\share\\a.cat");
}

}  // namespace
}  // namespace lum::test
