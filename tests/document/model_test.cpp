// The front door: what a loaded model answers, how it names files and
// references, and that several models load at once on their own threads and
// at any depth on an ordinary stack.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <lum/lum.h>

namespace {

namespace fs = std::filesystem;

const std::string kSamples = LUM_SAMPLES_DIR;
const std::string kLibrary = kSamples + "/library/library.mdl";
const std::string kLibraryMap = kSamples + "/library/library.map";

// A directory of its own, removed with what is in it.
class tScratch {
public:
    tScratch() : m_path(fs::temp_directory_path() / ("lum-document-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + std::to_string(s_next++))) {
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~tScratch() { fs::remove_all(m_path); }
    std::string Write(const std::string& leaf, const std::string& text) const {
        const fs::path path = m_path / leaf;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    const fs::path& Path() const { return m_path; }

private:
    static inline std::atomic<int> s_next{0};
    fs::path m_path;
};

std::string Header() { return "(object Vellum\n    version 50\n    charSet 0)\n\n"; }

// One class Order with four attributes whose types meet every fate a
// reference can have, and two units stored under a symbol nobody defined
// (spelt in two cases).
std::string OrdersModel() {
    return Header() + R"((object Design "Logical View"
    is_unit TRUE
    is_loaded TRUE
    root_category (object Class_Category "Logical View"
	quid "5E0000000001"
	logical_models (list unit_reference_list
	    (object Class "Order"
		quid "5E0000000002"
		class_attributes (list class_attribute_list
		    (object ClassAttribute "total" quid "5E0000000003" type "Money")
		    (object ClassAttribute "customer" quid "5E0000000004" type "Logical View::Sales::Customer" quidu "5E00000000A1")
		    (object ClassAttribute "owner" quid "5E0000000005" type "Logical View::Nowhere::Thing")
		    (object ClassAttribute "next" quid "5E0000000006" type "Order" quidu "5E0000000002")
		    (object ClassAttribute "none" quid "5E0000000007" quidu "000000000000")))
	    (object Class_Category "Sales" quid "5E0000000010" is_unit TRUE is_loaded FALSE file_name "$SALES\sales.cat")
	    (object Class_Category "Billing" quid "5E0000000011" is_unit TRUE is_loaded FALSE file_name "$sales\billing.cat"))))
)";
}

std::vector<std::string> Messages(const lum::Model& model, lum::diag::Code code) {
    std::vector<std::string> lines;
    for (const lum::Diagnostic& d : model.Diagnostics()) {
        if (d.code == code) lines.push_back(lum::FormatDiagnostic(d));
    }
    return lines;
}

TEST(ModelTest, LoadsTheSampleWithItsUnitsAndNamesFilesAsTheUserDid) {
    const fs::path before = fs::current_path();
    fs::current_path(kSamples);
    const lum::Model model = lum::Model::Load({"library/library.mdl"}, {.pathMaps = {"library/library.map"}});
    fs::current_path(before);
    ASSERT_TRUE(model.Loaded());
    EXPECT_FALSE(model.HasErrors());
    EXPECT_EQ(model.CodePage(), 1252u);
    EXPECT_TRUE(model.MissingUnits().empty());
    ASSERT_EQ(model.FilesRead().size(), 6u);
    EXPECT_EQ(model.FilesRead()[0].name, "library/library.mdl");
    for (const lum::LoadedFile& file : model.FilesRead()) {
        EXPECT_TRUE(file.name.starts_with("library/")) << file.name;
        EXPECT_TRUE(fs::path(file.path).is_absolute()) << file.path;
        EXPECT_GT(file.bytes, 0u);
    }
    ASSERT_EQ(model.Diagnostics().size(), 1u);
    EXPECT_EQ(lum::FormatDiagnostic(model.Diagnostics()[0]),
              "library/library.mdl: Information: Reading the model as code page 1252: its header declares charSet 0 "
              "(override with --codepage N)");
    const lum::ReferenceSummary references = model.References();
    EXPECT_EQ(references.bound, 155u);
    EXPECT_EQ(references.unmodelled, 43u);
    EXPECT_EQ(references.dangling + references.empty + references.inMissingUnit, 0u);
}

TEST(ModelTest, FindsAsPeopleSearch) {
    const lum::Model model = lum::Model::Load({kLibrary}, {.pathMaps = {kLibraryMap}});
    struct tCase {
        const char* what;
        std::vector<std::string> paths;
    };
    const tCase cases[] = {
        {"Member", {"Logical View::People::Member"}},                  // a simple name anywhere
        {"Logical View::People::Member", {"Logical View::People::Member"}},
        {"4C1B0A7E0031", {"Logical View::People::Member"}},            // its quid
        {"Loan*", {"Logical View::Lending::Loan", "Logical View::Lending::Loan::Loan lifecycle",
                   "Logical View::Lending::Loan::Loan lifecycle::Loan lifecycle", "Logical View::Lending::LoanPolicy"}},
        {"*::People::M?mber", {"Logical View::People::Member"}},  // patterns in any segment
        {"member", {}},                                             // names are case-sensitive
        {"Logical View::Member", {}},                               // a path is no simple name
        {"Logical View::Nobody", {}},
        {"Nobody", {}},
    };
    for (const tCase& c : cases) {
        std::vector<std::string> paths;
        for (const lum::ClumVellumEntity* entity : model.Find(c.what)) paths.push_back(lum::Model::PathOf(entity));
        EXPECT_EQ(paths, c.paths) << c.what;
    }
    const lum::ClumVellumEntity* member = model.FindByQuid("4C1B0A7E0031");
    ASSERT_NE(member, nullptr);
    EXPECT_FALSE(model.Referrers(member).empty());
}

TEST(ModelTest, TellsReferencesApartByWhatAUserMustDoAboutThem) {
    const tScratch scratch;
    const lum::Model model = lum::Model::Load({scratch.Write("orders.mdl", OrdersModel())});
    std::map<std::string, std::string> fate;  // owner::feature -> status
    for (const lum::ReferenceValue& value : model.ReferenceValues()) {
        fate[lum::ToUtf8(lum::ClumUtilityFunctions::GetName(value.owner).c_str()) + ":" +
             lum::ToUtf8(value.feature->GetName().c_str())] = lum::ReferenceStatusName(value.status);
    }
    const std::map<std::string, std::string> expected = {
        {"total:type", "unmodelled type"},     {"customer:type", "in missing unit"},
        {"customer:quidu", "in missing unit"}, {"owner:type", "dangling"},
        {"next:type", "bound"},                {"next:quidu", "bound"},
        {"none:quidu", "empty"},
    };
    EXPECT_EQ(fate, expected);
    EXPECT_EQ(model.ReferenceValues(true).size(), 4u);  // not the bound, not the empty
    EXPECT_EQ(model.MissingUnits().size(), 2u);
    // The undefined symbol is explained once, though two units name it in two cases.
    const auto advice = Messages(model, lum::diag::UndefinedSymbol);
    ASSERT_EQ(advice.size(), 1u);
    EXPECT_NE(advice[0].find("the symbol 'SALES' is not defined"), std::string::npos) << advice[0];
    EXPECT_EQ(Messages(model, lum::diag::UnitNotFound).size(), 2u);
    EXPECT_FALSE(model.HasErrors());

    const lum::Model strict = lum::Model::Load({scratch.Path() / "orders.mdl"}, {.strict = true});
    EXPECT_TRUE(strict.HasErrors());
}

TEST(ModelTest, DiagnosticsCarryCodesLinesAndOneFormat) {
    const lum::Model model = lum::Model::Load({kSamples + "/broken/broken.mdl"});
    ASSERT_TRUE(model.Loaded());
    std::vector<std::pair<lum::diag::Code, long>> seen;
    for (const lum::Diagnostic& d : model.Diagnostics()) seen.emplace_back(d.code, d.line);
    const std::vector<std::pair<lum::diag::Code, long>> expected = {
        {lum::diag::CodePageChosen, 0}, {lum::diag::SyntaxError, 5}, {lum::diag::NotTopLevel, 7}};
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(model.HasErrors());
    EXPECT_STREQ(lum::diag::Name(lum::diag::UnitNotFound), "UnitNotFound");

    lum::Diagnostic d;
    d.severity = lum::tError::Warning;
    d.message = "m";
    EXPECT_EQ(lum::FormatDiagnostic(d), "Warning: m");
    d.line = 3;
    EXPECT_EQ(lum::FormatDiagnostic(d), "line 3: Warning: m");
    d.file = "f.mdl";
    d.subject = "Class C";
    EXPECT_EQ(lum::FormatDiagnostic(d), "f.mdl:3: Warning: m [Class C]");

    const lum::Model missing = lum::Model::Load({kSamples + "/no-such.mdl"});
    EXPECT_FALSE(missing.Loaded());
    ASSERT_EQ(missing.Diagnostics().size(), 1u);
    EXPECT_EQ(missing.Diagnostics()[0].code, lum::diag::FileNotReadable);
}

// What a model says of itself, to compare loads with.
std::string Fingerprint(const lum::Model& model) {
    std::string text = std::to_string(model.CodePage()) + "\n";
    for (const lum::Diagnostic& d : model.Diagnostics()) text += lum::FormatDiagnostic(d) + "\n";
    for (const auto& [name, count] : model.CountByClass()) text += name + "=" + std::to_string(count) + "\n";
    const lum::ReferenceSummary r = model.References();
    text += std::to_string(r.bound) + "/" + std::to_string(r.unmodelled) + "/" + std::to_string(r.dangling);
    return text;
}

// The main file is read in blocks of a megabyte to tell its text: a
// character cut by a block's end is still one character, and a byte that no
// UTF-8 allows, however far in, rules UTF-8 out.
TEST(ModelTest, TheCodePageIsToldFromEveryByteOfTheMainFile) {
    const tScratch scratch;
    const std::string head = "(object Vellum version 50)\n(object Design \"Logical View\"\n    documentation \"";
    auto load = [&](const std::string& name, const std::string& accent, std::size_t at) {
        const std::string text = head + std::string(at - head.size(), 'x') + accent + "\")\n";
        return lum::Model::Load({scratch.Write(name, text)}).CodePage();
    };
    EXPECT_EQ(load("cut.mdl", "\xC3\xA9", (std::size_t{1} << 20) - 1), 65001u);
    EXPECT_EQ(load("far.mdl", "\xE9", (std::size_t{3} << 20) + 5), 1252u);
    EXPECT_EQ(load("ascii.mdl", "e", (std::size_t{1} << 20) + 3), 65001u);  // plain ASCII, no charSet
}

TEST(ModelTest, ModelsLoadOnSeveralThreadsAtOnceAsTheyDoOneAfterTheOther) {
    const tScratch scratch;
    // Texts beyond ASCII in three code pages, so that each thread converts
    // with its own page.
    const std::string cyrillic = scratch.Write(
        "cyrillic.mdl", "(object Vellum\n    charSet 204)\n(object Design \"Logical View\"\n    root_category "
                        "(object Class_Category \"Logical View\"\n\tlogical_models (list unit_reference_list\n\t"
                        "    (object Class \"\xC7\xE0\xEA\xE0\xE7\" quid \"5F0000000001\"))))\n");
    const std::string utf8 = scratch.Write(
        "utf8.mdl", "(object Vellum)\n(object Design \"Logical View\"\n    root_category (object Class_Category "
                    "\"Logical View\"\n\tlogical_models (list unit_reference_list\n\t    (object Class "
                    "\"Gr\xC3\xB6\xC3\x9F" "e\" quid \"5F0000000002\"))))\n");
    const std::vector<std::pair<std::vector<std::string>, lum::LoadOptions>> inputs = {
        {{kLibrary}, {.pathMaps = {kLibraryMap}}},
        {{kLibrary}, {}},
        {{kSamples + "/broken/broken.mdl"}, {}},
        {{cyrillic}, {}},
        {{utf8}, {}},
        {{scratch.Write("orders.mdl", OrdersModel())}, {}},
    };
    std::vector<std::string> expected;
    for (const auto& [paths, options] : inputs) expected.push_back(Fingerprint(lum::Model::Load(paths, options)));
    EXPECT_NE(expected[3].find("Class=1"), std::string::npos);
    EXPECT_EQ(lum::Model::Load({cyrillic}).Find("\xD0\x97\xD0\xB0\xD0\xBA\xD0\xB0\xD0\xB7").size(), 1u);  // "Заказ"
    EXPECT_EQ(lum::Model::Load({utf8}).Find("Gr\xC3\xB6\xC3\x9F" "e").size(), 1u);

    constexpr int kRounds = 4;
    std::vector<std::vector<std::string>> got(inputs.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        threads.emplace_back([&, i] {
            for (int round = 0; round < kRounds; ++round) {
                got[i].push_back(Fingerprint(lum::Model::Load(inputs[i].first, inputs[i].second)));
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        for (const std::string& one : got[i]) EXPECT_EQ(one, expected[i]) << "input " << i;
    }
}

// Unit files read ahead on several threads give the graph and diagnostics
// of reading them one after another: nested units, a unit file with broken
// objects, missing files, a file that stores its own stub, and enough units
// to keep every reader busy.
TEST(ModelTest, UnitFilesReadOnSeveralThreadsGiveWhatReadingThemInTurnGives) {
    const tScratch scratch;
    std::string stubs;
    for (int i = 0; i < 24; ++i) {
        const std::string n = std::to_string(i);
        std::string body = "(object Class \"C" + n + "\" quid \"6A00000000" + (i < 10 ? "0" : "") + n + "\")";
        if (i % 5 == 1) body += "\n(object Class_Category \"Inner" + n + "\" is_unit TRUE file_name \"$U\\inner" + n + ".cat\")";
        if (i % 7 == 3) body += "\n(object Class \"Broken" + n + "\" attributes (list Attribute_Set (object Nonsense 12)) quid)";
        if (i == 9) body += "\n(object Class_Category \"Again\" is_unit TRUE file_name \"$U\\unit9.cat\")";
        if (i != 13) {
            scratch.Write("unit" + n + ".cat", Header() + "(object Class_Category \"P" + n + "\" is_unit TRUE\n" +
                                                   "    logical_models (list unit_reference_list\n" + body + "))\n");
        }
        if (i % 5 == 1) {
            scratch.Write("inner" + n + ".cat", Header() + "(object Class_Category \"Inner" + n + "\" is_unit TRUE\n" +
                                                    "    logical_models (list unit_reference_list (object Class \"D" + n + "\")))\n");
        }
        stubs += "\t    (object Class_Category \"P" + n + "\" is_unit TRUE is_loaded FALSE file_name \"$U\\unit" + n + ".cat\")\n";
    }
    const std::string main = scratch.Write(
        "main.mdl", Header() + "(object Design \"Logical View\"\n    root_category (object Class_Category \"Logical View\"\n" +
                        "\tlogical_models (list unit_reference_list\n" + stubs + ")))\n");
    auto load = [&](unsigned threads) {
        const lum::Model model =
            lum::Model::Load({main}, {.symbols = {{"U", scratch.Path().string()}}, .threads = threads});
        std::ostringstream json;
        lum::json::WriteJson(model, json, {.compact = true});
        return Fingerprint(model) + "\n" + json.str();
    };
    const std::string serial = load(1);
    EXPECT_NE(serial.find("D16"), std::string::npos);  // a nested unit was loaded
    EXPECT_NE(serial.find("unit13.cat"), std::string::npos);
    for (unsigned threads : {2u, 4u, 0u}) EXPECT_EQ(load(threads), serial) << threads << " threads";
}

#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
constexpr std::size_t kDepth = 1000 * 1000;
#else
constexpr std::size_t kDepth = 100 * 1000;  // unoptimised and sanitized builds: a tenth
#endif

TEST(ModelTest, AChainAMillionDeepLoadsBindsAndWalksOnAnOrdinaryStack) {
    const tScratch scratch;
    const std::string path = (scratch.Path() / "deep.mdl").string();
    {
        std::ofstream out(path, std::ios::binary);
        // Attribute sets inside attributes, as tools store property trees,
        // with a class at the bottom that derives from the one at the top.
        out << Header() << "(object Design \"Logical View\"\n    root_category (object Class_Category \"Logical View\"\n"
            << "\tlogical_models (list unit_reference_list\n\t    (object Class \"Top\" quid \"5D0000000003\"\n"
            << "\t\tattributes (list Attribute_Set\n";
        for (std::size_t i = 1; i < kDepth; ++i) out << "(object Attribute tool \"T\" name \"a\" value (list Attribute_Set\n";
        out << "(object Attribute tool \"T\" name \"a\" value (object Class \"Bottom\" quid \"5D0000000004\"\n"
            << "superclasses (list inheritance_relationship_list (object Inheritance_Relationship quid \"5D0000000005\"\n"
            << "supplier \"Logical View::Top\" quidu \"5D0000000003\"))))";
        for (std::size_t i = 1; i < kDepth; ++i) out << "))";
        out << ")))))\n";
    }
    const lum::Model model = lum::Model::Load({path});
    ASSERT_TRUE(model.Loaded());
    EXPECT_GE(model.Depth(), kDepth);
    std::size_t objects = 0, deepest = 0;
    for (const lum::DepthFirst::Step& step : model.Walk()) {
        ++objects;
        deepest = std::max(deepest, step.depth);
    }
    EXPECT_EQ(deepest, model.Depth());
    EXPECT_GT(objects, kDepth);
    EXPECT_EQ(model.References().bound, 2u);
    EXPECT_EQ(model.Find("Bottom").size(), 1u);
}

}  // namespace
