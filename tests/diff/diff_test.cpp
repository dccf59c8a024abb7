// The diff over pairs of small versions written here: the kinds of change
// written as expected, nothing for a model and itself or a copy with
// regenerated quids, diagrams by what they show and by layout. Every kind
// of edit on a large model: check_generated_edits.py.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <unistd.h>

#include <lum/lum.h>

namespace lum::test {
namespace {

namespace fs = std::filesystem;

// Texts joined without temporaries (GCC 12 misreads "text" + std::string chains as overlapping copies).
template <class... T>
std::string Cat(const T&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

// A design whose logical view holds class A (attribute x, operation f),
// class B, `more` and the class diagram `items`.
std::string Version(const std::string& a = "", const std::string& x = "type \"Integer\"", const std::string& more = "",
                    const std::string& items = "") {
    return Cat("(object Vellum version 50 charSet 0)\n"
               "(object Design \"Logical View\" quid \"QD\" root_category (object Class_Category \"Logical View\""
               " quid \"QL\" logical_models (list unit_reference_list (object Class \"A\" quid \"QA\" ",
               a, " class_attributes (list class_attribute_list (object ClassAttribute \"x\" quid \"QX\" ", x,
               ")) operations (list Operations (object Operation \"f\" quid \"QF\" result \"Integer\")))"
               " (object Class \"B\" quid \"QB\") ", more,
               ") logical_presentations (list unit_reference_list (object ClassDiagram \"Main\" quid \"QM\""
               " items (list diagram_item_list ", items, ")))))\n");
}

std::string Symbol(const char* name, const char* quid, int x, int y, int width = 200) {
    return Cat("(object ClassView \"Class\" \"Logical View::", name, "\" @", x, " location (", x, ", ", y,
               ") quidu \"", quid, "\" width ", width, " height 100)");
}

// `text` with its first `from` replaced by `to`.
std::string Replaced(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    return Cat(text.substr(0, at), to, text.substr(at + from.size()));
}

// Every quid of `text` rewritten, as a tool that regenerates them would.
std::string Requid(std::string text) {
    for (std::size_t at = 0; (at = text.find("\"Q", at)) != std::string::npos; ++at) text[at + 1] = 'Z';
    return text;
}

class DiffTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              Cat("lum_diff_", ::getpid(), "_", ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    Model Write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return Model::Load({(dir / name).string()});
    }
    // The text of the changes from `before` to `after`.
    static std::string Diff(const Model& old, const Model& now, const diff::Options& options = {}) {
        std::ostringstream out;
        diff::WriteText(diff::Compare(uml::View::Of(old), uml::View::Of(now), options), out);
        return out.str();
    }
    std::string Diff(const std::string& before, const std::string& after, const diff::Options& options = {}) {
        const Model old = Write("old.mdl", before), now = Write("new.mdl", after);
        EXPECT_TRUE(old.Loaded() && now.Loaded());
        return Diff(old, now, options);
    }

    fs::path dir;
};

TEST_F(DiffTest, EachKindOfChange) {
    struct tCase {
        const char* what;
        std::string before, after, expected;
        diff::Options options = {};
    };
    const std::string same = Version();
    const auto symbolA = [](int x, int width) { return Version("", "type \"Integer\"", "", Symbol("A", "QA", x, 100, width)); };
    const std::string diagram = "package Logical View\n  changed diagram Logical View::Main\n";
    const diff::Options layout{.withLayout = true};
    const tCase cases[] = {
        {"itself", same, same, ""},
        {"regenerated quids", same, Requid(same), ""},
        {"renamed attribute", same, Replaced(same, "\"x\"", "\"w\""),
         "package Logical View\n  renamed attribute Logical View::A::w (was x)\n"},
        {"moved class", Version("", "type \"Integer\"", "(object Class_Category \"P\" quid \"QP\")"),
         Replaced(Version("", "type \"Integer\"",
                          "(object Class_Category \"P\" quid \"QP\" logical_models (list unit_reference_list"
                          " (object Class \"B\" quid \"QB\")))"),
                  " (object Class \"B\" quid \"QB\") ", " "),
         "package Logical View::P\n  moved class Logical View::P::B (from Logical View)\n"},
        {"attribute multiplicity", same, Version("", "type \"Integer[0..n]\""),
         "package Logical View\n  changed attribute Logical View::A::x\n    multiplicity: + 0..*\n"},
        {"documentation", same, Version("documentation \"Holds\n the x.\""),
         "package Logical View\n  changed class Logical View::A\n    documentation: + Holds\\n the x.\n"},
        {"diagram shows", Version("", "type \"Integer\"", "", Symbol("A", "QA", 100, 100)),
         Version("", "type \"Integer\"", "", Cat(Symbol("A", "QA", 300, 100), Symbol("B", "QB", 600, 100))),
         Cat(diagram, "    shows: + Logical View::B\n")},
        // Layout only when asked for, and beyond the tolerance.
        {"layout ignored", symbolA(100, 200), symbolA(111, 260), ""},
        {"layout within tolerance", symbolA(100, 200), symbolA(110, 210), "", layout},
        {"symbol moved", symbolA(100, 200), symbolA(111, 200),
         Cat(diagram, "    symbol Logical View::A moved: (100, 100) -> (111, 100)\n"), layout},
        {"symbol resized", symbolA(100, 200), symbolA(100, 260),
         Cat(diagram, "    symbol Logical View::A resized: 200x100 -> 260x100\n"), layout},
    };
    for (const tCase& c : cases) EXPECT_EQ(Diff(c.before, c.after, c.options), c.expected) << c.what;
}

// The sample, and its copy elsewhere with its text in UTF-8 and a unit
// directory relocated through the path map: the same model.
TEST_F(DiffTest, SampleEqualsItsRelocatedCopyInAnotherCodePage) {
    const fs::path copy = dir / "copy";
    fs::copy(LUM_SAMPLES_DIR "/library", copy, fs::copy_options::recursive);
    for (const auto& entry : fs::recursive_directory_iterator(copy)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".mdl" && ext != ".cat") continue;
        const std::string file = entry.path().string();
        ASSERT_EQ(std::system(Cat("iconv -f CP1252 -t UTF-8 '", file, "' > '", file, ".u' && mv '", file, ".u' '",
                                  file, "'").c_str()),
                  0);
    }
    fs::create_directories(dir / "elsewhere");
    fs::rename(copy / "packages" / "reservations", dir / "elsewhere" / "reservations");
    std::ofstream(dir / "moved.map") << "CURDIR=&\nPACKAGES=" << (dir / "elsewhere").string() << "\n";

    const Model original = Model::Load({LUM_SAMPLES_DIR "/library/library.mdl"},
                                       {.pathMaps = {LUM_SAMPLES_DIR "/library/library.map"}});
    const Model moved = Model::Load({(copy / "library.mdl").string()}, {.pathMaps = {(dir / "moved.map").string()}});
    ASSERT_TRUE(original.MissingUnits().empty() && moved.MissingUnits().empty());
    ASSERT_NE(original.CodePage(), moved.CodePage());
    EXPECT_EQ(Diff(original, moved), "");
}

// A unit file read alone is a model named after its file: git hands the
// old version over as a temporary copy, so such models pair by position.
TEST_F(DiffTest, UnitFilesUnderOtherNames) {
    const auto unit = [](const char* type) {
        return Cat("(object Vellum version 50 charSet 0)\n(object Class_Category \"P\" quid \"QP\" logical_models"
                   " (list unit_reference_list (object Class \"C\" quid \"QC\" class_attributes"
                   " (list class_attribute_list (object ClassAttribute \"y\" quid \"QY\" type \"",
                   type, "\")))))\n");
    };
    const Model old = Write("tmp_x1y2.cat", unit("Integer")), now = Write("p.cat", unit("String"));
    EXPECT_EQ(Diff(old, now), "package P\n  changed attribute P::C::y\n    type: Integer -> String\n");
}

// The fields of the JSON are checked on a generated model (check_generated_edits.py).
TEST_F(DiffTest, JsonOfNoChanges) {
    std::ostringstream none;
    diff::WriteJson({}, none);
    EXPECT_EQ(none.str(), "{\n  \"format\": \"lum-diff/1\",\n  \"same\": true,\n  \"packages\": []\n}\n");
}

}  // namespace
}  // namespace lum::test
