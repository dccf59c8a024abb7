// Hostile inputs read by the library and by the tool: a model nested a
// million deep, a 200 MB value, broken bytes in every position, faults in
// the middle of a file, every reference a tie, unit files and maps that
// cannot work out, and cuts of the sample. Each ends by itself, without a
// crash or a sanitizer report, and says what went wrong.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "cli/model_text.h"
#include "cli/tool_runner.h"
#include "support/lum_test.h"

#if defined(__SANITIZE_ADDRESS__)
#define LUM_ROBUSTNESS_SANITIZED 1
#endif

namespace robustness {
namespace {
using namespace lumcli::test;
using lum::test::Strings;
using namespace std::string_literals;

// Optimised builds take the full sizes; unoptimised and sanitized builds a tenth.
#if defined(NDEBUG) && !defined(LUM_ROBUSTNESS_SANITIZED)
constexpr std::size_t kScale = 1;
#else
constexpr std::size_t kScale = 10;
#endif

std::string Numbered(const char* prefix, std::size_t n) { return std::string(prefix).append(std::to_string(n)); }

std::string Quid(std::size_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "5D%010zX", n);
    return text;
}

// Runs the tool, killed after `seconds`; it must end by itself with one of
// its exit statuses and no sanitizer complaint.
tRun RunTool(const std::vector<std::string>& args, const tScratchDir& scratch, int seconds = 120) {
    std::vector<std::string> bounded{"-s", "KILL", std::to_string(seconds), LUM_TOOL};
    bounded.insert(bounded.end(), args.begin(), args.end());
    tRun run = RunProgram("timeout", bounded, scratch);
    EXPECT_TRUE(run.status >= 0 && run.status <= 2) << "lum " << args.front() << " did not end by itself\n"
                                                    << Describe(run).substr(0, 4000);
    EXPECT_FALSE(Contains(run.err, "Sanitizer") || Contains(run.err, "runtime error")) << run.err.substr(0, 4000);
    return run;
}

// The peak resident size of this process since the last reset, in bytes.
std::size_t PeakMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    }
    return 0;
}

// --- A million deep -------------------------------------------------------------

constexpr std::size_t kDepth = 1000 * 1000 / kScale;
constexpr std::size_t kObjects = kDepth + 8;  // version, design, root package, three classes, two inheritances

// Class Top holds `depth` nested attributes, the deepest holding class
// Bottom; Bottom derives from Top and After from Bottom: both ends bound.
void WriteDeepModel(const std::string& path, std::size_t depth) {
    const std::string main =
        MainFile(ClassText("Top", "5D0000000003", "\t\tattributes \t(list Attribute_Set\n@") +
                 ClassText("After", "5D0000000006", SuperclassText("5D0000000007", "Bottom", "5D0000000004")));
    const std::size_t hole = main.find('@');
    std::ofstream out(path, std::ios::binary);
    out << main.substr(0, hole);
    for (std::size_t i = 1; i < depth; ++i) out << "(object Attribute tool \"T\" name \"a\" value (list Attribute_Set\n";
    out << "(object Attribute tool \"T\" name \"a\" value\n"
        << ClassText("Bottom", "5D0000000004", SuperclassText("5D0000000005", "Logical View::Top", "5D0000000003")) << ")";
    for (std::size_t i = 1; i < depth; ++i) out << "))";
    out << ")\n" << main.substr(hole + 1);
}

TEST(DeepNesting, TheLibraryReadsAndDeletesItTheToolChecksBindsListsAndExportsItAndRefusesToPrintIt) {
    tScratchDir scratch;
    const std::string deep = (scratch / "deep.mdl").string();
    WriteDeepModel(deep, kDepth);
    lum::InitializeLUM();
    {
        lum::tErrorList errors;
        lum::CErrorReporter::GetInstance().SetErrorList(errors);
        std::list<lum::ClumUnitObject*> units;
        auto file = std::make_unique<lum::ClumVellumFile>();
        lum::ClumParser::Parse(lum::WString(deep.c_str()), *file, units);
        struct tCounter : lum::TlumNonRecursiveMetaVisitor<lum::ClumVellumEntity> {
            std::size_t count = 0;
            bool OnVisit(lum::ClumVellumEntity*) override { return ++count, true; }
        } counter;
        counter.Visit(file.get());
        EXPECT_EQ(counter.count, kObjects + 1);
        EXPECT_TRUE(errors.empty());
        lum::CErrorReporter::GetInstance().ResetReporter();
    }
    lum::FinalizeLUM();
    const tRun check = RunTool({"check", deep}, scratch);
    EXPECT_EQ(check.status, 0) << Describe(check);
    EXPECT_TRUE(Contains(check.out, "\nobjects: " + std::to_string(kObjects) + "\n")) << check.out;
    EXPECT_TRUE(Contains(check.out, "\nreferences: 4 bound, 0 naming nothing, 0 into missing units, 0 unmodelled types, 0 dangling (0 ambiguous)\n")) << check.out;
    std::string bottom = "Logical View::Top";
    for (std::size_t i = 0; i < kDepth; ++i) bottom += "::a";
    bottom += "::Bottom";
    // Depth first: the chain below Top comes before the class after it.
    EXPECT_EQ(RunTool({"refs", deep}, scratch).out,
              bottom + " supplier = Logical View::Top -> Logical View::Top\n" + bottom +
                  " quidu = 5D0000000003 -> Logical View::Top\nLogical View::After supplier = Bottom -> " + bottom +
                  "\nLogical View::After quidu = 5D0000000004 -> " + bottom + "\n");
    const std::string json = (scratch / "deep.json").string();
    EXPECT_EQ(RunTool({"export", deep, "-o", json}, scratch).status, 0);
    const std::string text = ReadFile(json);
    EXPECT_LT(text.size(), 200 * kObjects) << "the deep part is written without indentation";
    EXPECT_EQ(std::count(text.begin(), text.end(), '{'), std::count(text.begin(), text.end(), '}'));
    EXPECT_TRUE(Contains(text, "\"objectCount\": " + std::to_string(kObjects + 1) + ","));
    const tRun print = RunTool({"print", deep}, scratch);
    EXPECT_EQ(print.status, 2);
    EXPECT_EQ(print.err, "lum: the model nests objects " + std::to_string(kDepth + 5) +
                             " levels deep; print indents every level and takes models up to 1000 deep: use 'lum export'\n");
    WriteDeepModel((scratch / "moderate.mdl").string(), 300);
    const tRun moderate = RunTool({"print", (scratch / "moderate.mdl").string()}, scratch);
    EXPECT_EQ(moderate.status, 0);
    EXPECT_TRUE(Contains(moderate.out, "    name = Bottom;\n"));
}

// --- A huge value -----------------------------------------------------------------

// One string of 200 MB, quoted (converted a byte at a time, the library's
// default) or as bar lines (converted whole, as the tool reads): read whole
// and intact, in memory bounded by its wide text, the class after it read.
class HugeValue : public lum::test::LumTest, public ::testing::WithParamInterface<bool> {
protected:
    void TearDown() override {
        lum::tVellumLexer::SetConvertTextsWhole(false);
        LumTest::TearDown();
    }
};

TEST_P(HugeValue, IsReadWholeInBoundedMemory) {
    const bool bars = GetParam();
    constexpr std::size_t kBytes = (std::size_t{200} << 20) / kScale, kLine = 100;
    const std::size_t lines = kBytes / kLine;
    auto valueLine = [](std::size_t n) {
        std::string line;
        for (std::size_t i = 0; i + 1 < kLine; ++i) line += static_cast<char>('a' + (n * 7 + i) % 26);
        return line;
    };
    tScratchDir scratch;
    const std::string path = (scratch / "huge.mdl").string();
    {
        const std::string main = MainFile(ClassText("Big", "5D0000000101", "\t\tdocumentation \t@\n") + ClassText("After", "5D0000000102"));
        std::ofstream out(path, std::ios::binary);
        out << main.substr(0, main.find('@')) << (bars ? "" : "\"");
        for (std::size_t n = 0; n < lines; ++n) out << (bars ? "|" : "") << valueLine(n) << (n + 1 < lines || bars ? "\n" : "");
        out << (bars ? "" : "\"") << main.substr(main.find('@') + 1);
    }
    lum::tVellumLexer::SetConvertTextsWhole(bars);
    std::ofstream("/proc/self/clear_refs") << "5";
    const std::size_t before = PeakMemory();
    lum::ClumVellumFile file;
    lum::ClumParser::Parse(lum::WString(path.c_str()), file, units);
    const std::size_t peak = PeakMemory() - before;
    auto* root = lum::test::Children(file.design.GetAt(0), L"root_category").at(0);
    const auto classes = lum::test::Children(root, L"logical_models");
    ASSERT_EQ(lum::test::Shown(classes), (Strings{L"Class Big", L"Class After"}));
    const lum::WString& text = lum::test::As<lum::ClumClass>(classes[0])->documentation.Get();
    const std::wstring separator = bars ? L"\r\n" : L"\n";  // bar lines are joined by CR LF
    ASSERT_EQ(text.size(), lines * (kLine - 1) + (lines - 1) * separator.size());
    for (const std::size_t n : {std::size_t{0}, lines / 2, lines - 1}) {
        const std::string expected = valueLine(n) + (n + 1 < lines ? lum::ToUtf8(separator) : "");
        EXPECT_EQ(text.substr(n * (kLine - 1 + separator.size()), expected.size()), std::wstring(expected.begin(), expected.end()));
    }
    EXPECT_EQ(Messages(), Strings{});
    if (kScale == 1) {
        EXPECT_LT(peak, 16 * kBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(QuotedAndBar, HugeValue, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Bar" : "Quoted"; });

// --- Faults in the middle of a file -------------------------------------------------

// Class A comes before the fault and B1 to B3 after it. Faults that leave the
// nesting intact lose nothing that follows; faults that change it lose what
// the notation can no longer place, listed here exactly.
using NoDataLost = lum::test::LumTest;

TEST_F(NoDataLost, FaultsLoseOnlyWhatTheyLeaveOpen) {
    std::string later;
    for (const char* n : {"1", "2", "3"}) later += ClassText("B"s + n, "5D000000020"s + n, "\t\tdocumentation \t\"doc "s + n + "\"\n");
    const Strings all = {L"A: ", L"B1: doc 1", L"B2: doc 2", L"B3: doc 3"};
    const std::string k = "\t    (object Class \"K\"\n\t\tquid \t\"5D0000000301\"\n";
    const Strings aAndK = {L"A: ", L"K: "};
    const struct {
        const char* kind;
        std::string text;
        Strings kept;  // empty: everything of `all` is kept, whatever else
        bool exactly;
    } faults[] = {
        {"unknown class", "\t    (object Nope \"N\"\n\t\tlogical_models \t(list unit_reference_list\n" + ClassText("Hidden", "5D0000000301") + "\t\t))\n", all, false},
        {"unknown construct kind", "\t    (objekt Class \"K\" (nested) (deeper (still)))\n", all, false},
        {"values of the wrong type", "\t    (object Class \"K\"\n\t\tabstract \tmaybe\n\t\tpersistence \tForever\n\t\tcardinality \t(value cardinality \"x..y\")\n\t\tlocation \t\"not a point\")\n", all, false},
        {"bad references", "\t    (object Class \"K\"\n" + SuperclassText("5D0000000303", "::Nowhere::", "NOT A QUID") + "\t\tquidu \t@\n\t\t)\n", all, false},
        {"unknown features", "\t    (object Class \"K\"\n\t\tbogus \t\"x\"\n\t\tbogus_link \t(list bogus_list\n" + ClassText("Inner", "5D0000000304") + "\t\t)\n\t\tbogus_value \t(value Text \"t\"))\n", all, false},
        {"object without a feature name", "\t    (object Class \"K\"\n" + ClassText("Orphan", "5D0000000305") + "\t\t)\n", all, false},
        {"list inside a list", "\t    (list inner_list\n" + ClassText("Inner", "5D0000000306") + "\t    )\n", all, false},
        {"garbage words in pairs", "#$%^&* !~ \x01\x02\x7f ;;; === @@\n", all, false},
        {"NUL bytes", "\0\0 \0\n\t    (object Class \"K\"\n\t\t\0\0)\n"s, all, false},
        {"parenthesis too many", "\t)\n", {L"A: "}, true},  // B1 to B3 stand in the package without a feature name
        {"object not closed", k, aAndK, true},
        {"nested object not closed", k + "\t\tsuperclasses \t(list inheritance_relationship_list\n\t\t    (object Inheritance_Relationship\n\t\t\tsupplier \t\"A\"\n\t\t)\n", {}, true},
        {"feature name before the closing parenthesis", k + "\t\tdocumentation\n\t\t)\n", aAndK, true},
        {"raw construct not closed", k + "\t\tlocation \t(100, 200\n\t\t)\n", aAndK, true},
        {"string not closed", k + "\t\tdocumentation \t\"never closed\n\t\t)\n", {}, true},
        {"word standing alone", "\t    stray\n", {L"A: ", L"B2: doc 2", L"B3: doc 3"}, true},
    };
    for (const auto& fault : faults) {
        const auto file = Read(MainFile(ClassText("A", "5D0000000101") + fault.text + later));
        Strings classes;
        lum::test::ForEachObject(file.get(), [&](lum::ClumVellumEntity* object) {
            if (lum::test::As<lum::ClumClass>(object)) classes.push_back(lum::test::Attr(object, L"name") + L": " + lum::test::Attr(object, L"documentation"));
        });
        if (fault.exactly) {
            EXPECT_EQ(classes, fault.kept) << fault.kind;
        } else {
            for (const std::wstring& kept : fault.kept)
                EXPECT_NE(std::find(classes.begin(), classes.end(), kept), classes.end()) << fault.kind << ": " << lum::ToUtf8(kept) << " lost";
        }
        errors.clear();
    }
}

// NUL bytes and bytes no code page reads, in every kind of position: the tool
// reads on after each, in single-byte, UTF-8 and double-byte pages, and says
// what it found in UTF-8.
TEST(BadBytes, EveryPositionInEveryKindOfCodePage) {
    const std::string word = "\0\x80\xC3\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xF8\x88\xFE\xFF"s;
    const std::string faults[] = {
        "\t    (obj" + word + "ect Class \"K\")\n", "\t    (object Cl" + word + "ass \"K\")\n",
        "\t    (object Class \"K\"\n\t\tqu" + word + "id \t\"5D0000000901\")\n", "\t    (object Class \"K\"\n\t\tabstract \tTR" + word + "UE)\n",
        "\t    (object Class \"K" + word + "\"\n\t\tquid \t\"5D" + word + "\")\n",
        "\t    (object Class \"K\"\n\t\tdocumentation \t\"" + word + "\\\"" + word + "\")\n",
        "\t    (object Class \"K\"\n\t\tdocumentation \n|" + word + "\"\n|" + word + "\n\t\t)\n", "\t    (object Class \"K\" @" + word + ")\n",
        "\t    (object Class \"K\"\n\t\toperations \t(list Oper" + word + "ations\n\t\t\t(object Operation \"o\")))\n",
        "\t    (object ClassView \"Class\" \"K\" @1\n\t\tlocation \t(1" + word + ", 2))\n", "\t    (object Class \"K\"\n" + word + "\n\t\t)\n",
        "\t    (object Class \"K\"\n\t\tsuperclasses \t(list inheritance_relationship_list\n\t\t    (object Inheritance_Relationship\n\t\t\tsupplier \t\"" + word + "\"\n\t\t\tquidu \t\"" + word + "\")))\n",
    };
    tScratchDir scratch;
    std::string models;
    for (std::size_t i = 0; i < std::size(faults); ++i) models += faults[i] + ClassText(Numbered("After", i), Numbered("5D00000001", 10 + i));
    const std::string main = scratch.Write("bad.mdl", MainFile(models));
    for (const char* page : {"auto", "1252", "65001", "932"}) {
        const tRun check = RunTool({"check", "--codepage", page, main}, scratch);
        EXPECT_LE(check.status, 1) << page << "\n" << Describe(check);
        EXPECT_TRUE(Contains(check.out, ": Error: Vellum syntax error")) << page;
        const tRun exported = RunTool({"export", "--codepage", page, main}, scratch);
        EXPECT_TRUE(IsUtf8(exported.out)) << page;
        for (std::size_t i = 0; i < std::size(faults); ++i)
            EXPECT_TRUE(Contains(exported.out, "\"name\": \"" + Numbered("After", i) + "\"")) << page << ": after fault " << i;
    }
}

// Every reference names a class that two classes of one package share.
TEST(Ambiguity, EveryTieIsReportedWithItsCandidatesAndNothingIsBound) {
    constexpr std::size_t kReferences = 10000 / kScale;
    tScratchDir scratch;
    std::string models;
    for (std::size_t i = 0; i < kReferences; ++i) {
        const std::string name = Numbered("D", i);
        models += ClassText(name, Quid(3 * i)) + ClassText(name, Quid(3 * i + 1)) +
                  ClassText(Numbered("R", i), Quid(3 * i + 2), SuperclassText(Quid(3 * kReferences + i), "Logical View::" + name, ""));
    }
    const std::string main = scratch.Write("ties.mdl", MainFile(models));
    const tRun run = RunTool({"check", main}, scratch);
    EXPECT_EQ(run.status, 0) << "ties are warnings";
    const std::string n = std::to_string(kReferences);
    EXPECT_TRUE(Contains(run.out, "\nreferences: 0 bound, 0 naming nothing, 0 into missing units, 0 unmodelled types, " + n + " dangling (" + n + " ambiguous)\n")) << run.out.substr(0, 4000);
    const std::vector<std::string> lines = tRun::Lines(run.out);
    ASSERT_GT(lines.size(), 3 * kReferences);
    const std::string last = "Logical View::" + Numbered("D", kReferences - 1);
    EXPECT_EQ(lines[3 * kReferences - 2], "Warning: Name resolution: several matches for reference '" + last +
                                              "' from 'Relationship::supplier' in context 'Logical View::Logical View::" +
                                              Numbered("R", kReferences - 1) + "'");
    EXPECT_EQ(lines[3 * kReferences], "Warning:     Candidate 'Class Logical View::" + last + "'");
}

// --- Unit files and maps --------------------------------------------------------------

std::string NotLoaded(const std::string& holder, const std::string& unit, const std::string& stored, const std::string& resolved) {
    return holder + ": Warning: unit '" + unit + "' not loaded: stored path '" + stored + "', resolved to '" + resolved + "'";
}

TEST(UnitFiles, CyclesDirectoriesUnreadableAndMissingFilesAreNamedAndReadingGoesOn) {
    tScratchDir scratch;
    const std::string units = (scratch / "units").string();
    scratch.Write("units/q.cat", UnitFile("Q", "5D0000000300", ClassText("C", "5D0000000301")));
    scratch.Write("units/a.cat", UnitFile("A", "5D0000000400", ClassText("CA", "5D0000000401") + StubText("B", "5D0000000500", "$OK\\b.cat")));
    scratch.Write("units/b.cat", UnitFile("B", "5D0000000500", ClassText("CB", "5D0000000501") + StubText("A", "5D0000000400", "$OK\\a.cat")));
    const std::string locked = scratch.Write("units/locked.cat", UnitFile("L", "5D0000000600", ClassText("CL", "5D0000000601")));
    ::chmod(locked.c_str(), 0);
    const bool lockable = ::access(locked.c_str(), R_OK) != 0;
    scratch.Write("units/dir.cat/x", "");
    const std::string map = scratch.Write("cycle.map", "A=$B\nB=$C\nC=$A\nOK=" + units + "\n");
    const std::string main = scratch.Write(
        "m.mdl", MainFile(StubText("P", "5D0000000200", "$A\\p.cat") + StubText("Q", "5D0000000300", "$OK\\q.cat") +
                          StubText("A", "5D0000000400", "$OK\\a.cat") + StubText("D", "5D0000000700", "$OK\\dir.cat") +
                          StubText("L", "5D0000000600", "$OK\\locked.cat") + ClassText("After", "5D0000000800")));
    const tRun run = RunTool({"check", "--pathmap", map, main}, scratch, 30);
    EXPECT_EQ(run.status, 0) << Describe(run);
    EXPECT_EQ(LineWith(run.out, "unit 'P'"), NotLoaded(main, "P", "$A\\p.cat", "$A/p.cat"));
    EXPECT_EQ(LineWith(run.out, "symbol 'A'"), main + ": Information: the symbol 'A' cannot be expanded: its definition leads back to itself");
    EXPECT_EQ(LineWith(run.out, "unit 'D'"), NotLoaded(main, "D", "$OK\\dir.cat", units + "/dir.cat"));
    if (lockable) {
        EXPECT_EQ(LineWith(run.out, "unit 'L'"), NotLoaded(main, "L", "$OK\\locked.cat", locked));
    }
    // The stub of A inside b.cat names a file already on the way: it stays, missing.
    const std::string loaded = lockable ? "3 unit files loaded, 4 missing" : "4 unit files loaded, 3 missing";
    EXPECT_TRUE(Contains(run.out, "\nfiles: 1 main, " + loaded + "\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, lockable ? "\n  Class: 4\n" : "\n  Class: 5\n")) << "each file read once\n" << run.out;
    EXPECT_EQ(RunTool({"check", "--strict", "--pathmap", map, main}, scratch, 30).status, 1);
}

TEST(UnitFiles, TenThousandMissingUnitsEachGetTheirWarning) {
    tScratchDir scratch;
    const std::size_t count = 10000;
    std::string stubs;
    for (std::size_t i = 0; i < count; ++i) stubs += StubText(Numbered("P", i), Quid(i + 0x1000), "$X\\" + Numbered("p", i) + ".cat");
    const std::string main = scratch.Write("m.mdl", MainFile(stubs));
    const std::string units = (scratch / "units").string();
    const tRun run = RunTool({"check", "-D", "X=" + units, main}, scratch, 60);
    EXPECT_EQ(run.status, 0) << Describe(run).substr(0, 2000);
    const std::vector<std::string> lines = tRun::Lines(run.out);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& line) { return Contains(line, ": Warning: unit 'P"); }),
              static_cast<long>(count));
    EXPECT_EQ(LineWith(run.out, "unit 'P9999'"), NotLoaded(main, "P9999", "$X\\p9999.cat", units + "/p9999.cat"));
}

// The sample's main file cut every two kilobytes, its unit files where they lie.
TEST(Prefixes, TheToolChecksACutEveryTwoKilobytes) {
    tScratchDir scratch;
    const fs::path library = fs::path(LUM_SAMPLES_DIR) / "library";
    const std::string bytes = ReadFile(library / "library.mdl");
    for (std::size_t length = 0; length < bytes.size(); length += 2048) {
        const tRun run = RunTool({"check", "--format", "json", "--pathmap", (library / "library.map").string(), "-D",
                                  "CURDIR=" + library.string(), scratch.Write("cut.mdl", bytes.substr(0, length))},
                                 scratch);
        EXPECT_LE(run.status, 1) << length << "\n" << Describe(run);
        JsonOf(run.out);
    }
}

}  // namespace
}  // namespace robustness
