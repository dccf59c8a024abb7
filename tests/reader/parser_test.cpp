// Reading files: the one-file and many-file entry points, and the bundled
// sample model read whole (a main file and the two sub-unit files its stubs
// name).

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

#include "reader/model_reading.h"

namespace lum {
namespace {

using test::As;
using test::Attr;
using test::Children;
using test::Names;
using test::Ref;
using test::Strings;

namespace fs = std::filesystem;

const fs::path kLibrary = fs::path(LUM_SAMPLES_DIR) / "library";

WString Wide(const fs::path& path) { return WString(path.string().c_str()); }

// A folder of its own for one test, removed with everything in it.
class tScratchFolder {
public:
    tScratchFolder() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        m_path = fs::temp_directory_path() /
                 (std::string("lum_parser_") + test->name() + "_" + std::to_string(getpid()));
        fs::create_directories(m_path);
    }
    ~tScratchFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    WString Write(const char* name, const std::string& text) const {
        std::ofstream(m_path / name, std::ios::binary) << text;
        return Wide(m_path / name);
    }
    WString Name(const char* name) const { return Wide(m_path / name); }

private:
    fs::path m_path;
};

class ParserTest : public test::ModelReadingTest {
protected:
    std::unique_ptr<ClumVellumFile> ReadFile(const WString& name) {
        auto file = std::make_unique<ClumVellumFile>();
        ClumParser::Parse(name, *file, units);
        return file;
    }
};

using test::tStoppingErrorList;

// --- Entry points ----------------------------------------------------------------

TEST_F(ParserTest, AFileThatCannotBeOpenedThrowsAndChangesNothing) {
    tScratchFolder folder;
    const WString missing = folder.Name("missing.mdl");
    units.push_back(nullptr);  // whatever the caller had stays
    ClumVellumFile file;
    try {
        ClumParser::Parse(missing, file, units);
        ADD_FAILURE() << "no exception";
    } catch (tCannotOpenFileException& e) {
        EXPECT_EQ(test::Text(e.GetFileName()), test::Text(missing));
        WString text;
        e.ToString(text);
        EXPECT_EQ(test::Text(text), L"Cannot open file " + test::Text(missing));
    }
    EXPECT_EQ(Messages(), Strings{});
    EXPECT_EQ(units.size(), 1u);
    EXPECT_EQ(test::Text(file.fileName.Get()), L"");
    EXPECT_EQ(test::CountByClass(&file), (std::map<std::wstring, int>{}));
}

TEST_F(ParserTest, ManyFilesKeepThoseWithADesignOrAUnitInOrder) {
    tScratchFolder folder;
    const std::vector<WString> names = {
        folder.Write("header.mdl", "(object Vellum version 50)\n"),
        folder.Name("missing.mdl"),
        folder.Write("model.mdl", "(object Vellum version 50)\n"
                                  "(object Design \"Logical View\"\n"
                                  "    root_category (object Class_Category \"L\"\n"
                                  "        logical_models (list unit_reference_list\n"
                                  "            (object Class_Category \"Sub\" is_unit TRUE\n"
                                  "                file_name \"sub.cat\"))))\n"),
        folder.Write("dropped.mdl", "(object UseCase \"U\"\n"
                                    "    logical_models (list unit_reference_list\n"
                                    "        (object Class_Category \"Gone\" is_unit TRUE file_name \"gone.cat\")))\n"),
        folder.Write("empty.mdl", ""),
        folder.Write("sub.cat", "(object Class_Category \"Sub\" is_unit TRUE\n"
                                "    logical_models (list unit_reference_list\n"
                                "        (object Class_Category \"Deeper\" is_unit TRUE file_name \"deeper.cat\")))\n"),
    };
    std::vector<ClumVellumFile*> files;
    ClumParser::Parse(names, files, units);
    std::vector<std::unique_ptr<ClumVellumFile>> owned(files.begin(), files.end());

    // The missing file is skipped without a word.
    EXPECT_EQ(test::MessageTexts(errors),
              Strings{L"Top level object of class 'UseCase' is not a header, design or unit; it is dropped"});
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(test::Text(files[0]->fileName.Get()), test::Text(names[2]));
    EXPECT_EQ(files[0]->version.GetSize(), 1);
    EXPECT_EQ(Names({files[0]->design.Get(0)}), Strings{L"Logical View"});
    EXPECT_EQ(test::Text(files[1]->fileName.Get()), test::Text(names[5]));
    EXPECT_EQ(Names({files[1]->unit.Get(0)}), Strings{L"Sub"});
    EXPECT_EQ(Names({units.begin(), units.end()}), (Strings{L"Sub", L"Deeper"}));
}

TEST_F(ParserTest, ManyFilesSkipAFileThatFailsMidWay) {
    tScratchFolder folder;
    const std::vector<WString> names = {
        folder.Write("first.mdl", "(object Design \"D\"\n"
                                  "    root_category (object Class_Category \"L\"\n"
                                  "        logical_models (list unit_reference_list\n"
                                  "            (object Class_Category \"Lost\" is_unit TRUE file_name \"lost.cat\")\n"
                                  "            (object Stop))))\n"),
        folder.Write("second.mdl", "(object Design \"D\"\n"
                                   "    root_category (object Class_Category \"L\"\n"
                                   "        logical_models (list unit_reference_list\n"
                                   "            (object Class_Category \"Kept\" is_unit TRUE\n"
                                   "                file_name \"kept.cat\"))))\n"),
    };
    tStoppingErrorList stopping(L"'Stop'");
    CErrorReporter::GetInstance().SetErrorList(stopping);
    std::vector<ClumVellumFile*> files;
    ClumParser::Parse(names, files, units);
    std::vector<std::unique_ptr<ClumVellumFile>> owned(files.begin(), files.end());
    CErrorReporter::GetInstance().SetErrorList(errors);

    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(test::Text(files[0]->fileName.Get()), test::Text(names[1]));
    EXPECT_EQ(Names({units.begin(), units.end()}), Strings{L"Kept"});
    EXPECT_TRUE(stopping.empty());
}

// --- The sample model --------------------------------------------------------------

// Categories and classes as an indented outline, in the order of the graph.
void Outline(ClumVellumEntity* object, int depth, std::wstring& out) {
    const bool shown = As<ClumClass_Category>(object) != nullptr || As<ClumClass>(object) != nullptr;
    if (shown) {
        out += std::wstring(2 * depth, L' ') + test::Text(object->GetMetaClass().GetName()) + L" " +
               Attr(object, L"name") + L"\n";
    }
    for (const ClumMetaFeature* feature : object->GetMetaClass().m_linkFeatures) {
        for (int i = 0; i < feature->m_pfnLinkSize(object); ++i) {
            Outline(feature->m_pfnLinkGetAt(object, i), depth + (shown ? 1 : 0), out);
        }
    }
}

// The first object below `root` of that class keyword and name.
ClumVellumEntity* Find(ClumVellumEntity* root, const wchar_t* keyword, const wchar_t* name) {
    ClumVellumEntity* found = nullptr;
    test::ForEachObject(root, [&](ClumVellumEntity* object) {
        if (found != nullptr || test::Text(object->GetMetaClass().GetName()) != keyword) return;
        if (Attr(object, L"name") == name) found = object;
    });
    if (found == nullptr) {
        ADD_FAILURE() << "no " << ::testing::PrintToString(std::wstring(keyword)) << " named "
                      << ::testing::PrintToString(std::wstring(name));
    }
    return found;
}

class SampleModelTest : public ParserTest {
protected:
    void SetUp() override {
        ParserTest::SetUp();
        model = ReadFile(Wide(kLibrary / "library.mdl"));
    }
    void TearDown() override {
        model.reset();
        ParserTest::TearDown();
    }
    std::unique_ptr<ClumVellumFile> model;
};

TEST_F(SampleModelTest, IsReadWithoutDiagnostics) {
    EXPECT_EQ(Messages(), Strings{});
    EXPECT_EQ(test::Text(model->fileName.Get()), test::Text(Wide(kLibrary / "library.mdl")));
    ASSERT_EQ(model->version.GetSize(), 1);
    EXPECT_EQ(model->version.Get(0)->version.Get(), 50);
    EXPECT_EQ(test::Text(model->version.Get(0)->_written.Get()), L"written by hand");
    ASSERT_EQ(model->design.GetSize(), 1);
    EXPECT_EQ(model->unit.GetSize(), 0);
}

TEST_F(SampleModelTest, HoldsTheExpectedObjectsOfEachClass) {
    const std::map<std::wstring, int> expected = {
        {L"ActionTime", 1}, {L"Association", 2}, {L"AssociationViewNew", 1}, {L"AttachView", 1},
        {L"Attribute", 6}, {L"Cardinality", 3}, {L"CategoryView", 4}, {L"Class", 6},
        {L"ClassAttribute", 11}, {L"ClassDiagram", 3}, {L"ClassView", 6}, {L"Class_Category", 8},
        {L"Design", 1}, {L"Event", 4}, {L"Font", 3}, {L"ImportView", 3},
        {L"InheritView", 1}, {L"Inheritance_Relationship", 1}, {L"ItemLabel", 13}, {L"NoteView", 1},
        {L"Operation", 3}, {L"Parameter", 2}, {L"Processes", 1}, {L"Processor", 1},
        {L"Properties", 1}, {L"Role", 4}, {L"RoleView", 2}, {L"SegLabel", 3},
        {L"Semantic_Info", 1}, {L"State", 4}, {L"StateView", 3}, {L"State_Diagram", 1},
        {L"State_Machine", 1}, {L"State_Transition", 4}, {L"SubSystem", 1}, {L"Text", 1},
        {L"TransView", 2}, {L"UseCase", 1}, {L"UseCaseDiagram", 1}, {L"UseCaseView", 1},
        {L"Vellum", 1}, {L"VellumFloat", 1}, {L"VellumIdent", 5}, {L"VellumInt", 4},
        {L"Visibility_Relationship", 3}, {L"action", 1}, {L"defaults", 1}, {L"external_doc", 1},
        {L"module", 1},
    };
    EXPECT_EQ(test::CountByClass(model.get()), expected);
}

TEST_F(SampleModelTest, CategoriesAndClassesFormTheExpectedTree) {
    std::wstring outline;
    Outline(model.get(), 0, outline);
    EXPECT_EQ(outline,
              L"Class_Category Use Case View\n"
              L"  Class Borrower\n"
              L"Class_Category Logical View\n"
              L"  Class_Category Catalog\n"
              L"    Class Item\n"
              L"    Class Book\n"
              L"    Class Copy\n"
              L"  Class_Category Lending\n"
              L"    Class Loan\n"
              L"    Class LoanPolicy\n"
              L"  Class_Category People\n"
              L"  Class_Category Accounts\n"
              L"  Class_Category Reservations\n"
              L"  Class_Category Acquisitions\n");
}

TEST_F(SampleModelTest, AttributesKeepTheirValues) {
    ClumDesign* design = model->design.Get(0);
    EXPECT_EQ(Attr(design, L"quid"), L"4C1B0A7E0001");
    EXPECT_EQ(Attr(design, L"is_loaded"), L"true");
    EXPECT_EQ(Attr(design->defaults.Get(0), L"gridX"), L"16");
    EXPECT_EQ(design->defaults.Get(0)->bottomMargin.Get(), 0.5f);

    // Bar strings join their lines with CR LF; 1252 text converts by the
    // code page (the dash and the euro sign lie outside Latin-1).
    EXPECT_EQ(Attr(Find(design, L"Class_Category", L"Catalog"), L"documentation"),
              L"Everything the library owns and lends: titles and their physical copies.\r\n"
              L"Titles come in many languages \u2014 \u00abLe Petit Prince\u00bb, \u00abDer Zauberberg\u00bb,\r\n"
              L"or the \u00c6r\u00f8 local-history series \u2014 so every text is kept as entered.");
    ClumVellumEntity* loan = Find(design, L"Class", L"Loan");
    EXPECT_EQ(Attr(loan, L"documentation"),
              L"One copy lent to one member. Overdue loans accrue a fee\r\n"
              L"of 0,50 \u20ac per day \u2014 the rate lives in LoanPolicy.");
    EXPECT_EQ(Attr(Children(loan, L"external_docs").at(0), L"external_doc_path"), L"$CURDIR\\docs\\loan-rules.txt");

    ClumVellumEntity* extend = Find(loan, L"Operation", L"extend");
    EXPECT_EQ(Ref(extend, L"exceptions"), L"LoanLimitReached | ReservedByOther");
    EXPECT_EQ(Ref(extend, L"result"), L"Boolean");
    EXPECT_EQ(Attr(Children(extend, L"pre_condition").at(0), L"PDL"),
              L"The loan is not overdue and the copy\r\nhas no open reservation.");
    ClumVellumEntity* days = Find(extend, L"Parameter", L"days");
    EXPECT_EQ(Attr(days, L"dir"), L"in");
    EXPECT_EQ(Ref(days, L"type"), L"Integer");
    ClumVellumEntity* returnedOn = Find(loan, L"Parameter", L"returnedOn");
    EXPECT_EQ(Attr(returnedOn, L"isConst"), L"true");
    EXPECT_EQ(Ref(returnedOn, L"type"), L"Date");

    ClumVellumEntity* copy = Find(design, L"Class", L"Copy");
    EXPECT_EQ(Attr(Children(copy, L"cardinality").at(0), L"value"), L"n");
    EXPECT_EQ(Attr(copy, L"persistence"), L"Persistent");
    EXPECT_EQ(Ref(Find(copy, L"ClassAttribute", L"title"), L"quidu"), L"4C1B0A7E0011");
    EXPECT_EQ(Attr(Children(Find(design, L"Role", L"borrower"), L"client_cardinality").at(0), L"value"), L"1");

    EXPECT_EQ(test::Shown(Children(Find(design, L"ClassAttribute", L"feePerDay"), L"initv")),
              Strings{L"VellumFloat 0.500000"});
    EXPECT_EQ(test::Shown(Children(Find(design, L"Class", L"Borrower"), L"stereotype")), Strings{L"VellumIdent Actor"});

    // Views keep their @ labels as quids and as references.
    ClumVellumEntity* inherit = nullptr;
    test::ForEachObject(design, [&](ClumVellumEntity* object) {
        if (As<ClumInheritView>(object) != nullptr) inherit = object;
    });
    ASSERT_NE(inherit, nullptr);
    EXPECT_EQ(Attr(inherit, L"quid"), L"@13");
    EXPECT_EQ(Ref(inherit, L"client"), L"@11");
    EXPECT_EQ(Ref(inherit, L"supplier"), L"@10");
    EXPECT_EQ(Ref(inherit, L"quidu"), L"4C1B0A7E0014");
    EXPECT_EQ(As<ClumInheritView>(inherit)->vertices.Get(), (tPointVector{{400, 400}, {400, 220}}));

    ClumVellumEntity* active = Find(design, L"StateView", L"Active");
    EXPECT_EQ(Attr(active, L"type"), L"Normal");
    EXPECT_EQ(Attr(active, L"quid"), L"@21");
    EXPECT_EQ(Attr(active, L"location"), L"(480 , 240)");
    ClumVellumEntity* start = Find(design, L"StateView", L"$UNNAMED$3");
    EXPECT_EQ(Attr(start, L"type"), L"StartState");
    EXPECT_EQ(Ref(start, L"quidu"), L"4C1B0A7E0061");

    ClumVellumEntity* module = Find(design, L"module", L"LendingService");
    EXPECT_EQ(Attr(module, L"quid"), L"4C1B0A7E0053");
    EXPECT_EQ(Attr(Find(design, L"Processor", L"Circulation server"), L"scheduling"), L"Preemptive");
    const auto settings = Children(design->properties.Get(0), L"attributes");
    ASSERT_EQ(settings.size(), 2u);
    EXPECT_EQ(test::Shown(Children(settings[1], L"value")),
              (Strings{L"Attribute namespace", L"Attribute headerExtension"}));
}

TEST_F(SampleModelTest, EqualFontsArePooled) {
    // The default font and the fonts of the lending diagram's two classes are
    // one object; the italic font and the serif font are each their own.
    ASSERT_EQ(model->fonts.GetSize(), 3);
    ClumDesign* design = model->design.Get(0);
    auto fontOf = [&](const wchar_t* keyword, const wchar_t* name) {
        auto* view = As<ClumDiagramItem>(Find(design, keyword, name));
        return view ? view->font.GetTarget(-1) : nullptr;
    };
    const ClumVellumEntity* plain = design->defaults.Get(0)->defaultFont.GetTarget(-1);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(fontOf(L"ClassView", L"Logical View::Lending::Loan"), plain);
    EXPECT_EQ(fontOf(L"ClassView", L"Logical View::People::Member"), plain);
    const ClumVellumEntity* italic = fontOf(L"ClassView", L"Logical View::Catalog::Item");
    ASSERT_NE(italic, nullptr);
    EXPECT_TRUE(As<ClumFont>(const_cast<ClumVellumEntity*>(italic))->italics.Get());
    const std::set<const ClumVellumEntity*> all = {model->fonts.Get(0), model->fonts.Get(1), model->fonts.Get(2)};
    EXPECT_EQ(all.size(), 3u);
    EXPECT_EQ(all.count(plain), 1u);
    EXPECT_EQ(all.count(italic), 1u);
    EXPECT_EQ(fontOf(L"ClassView", L"Logical View::Catalog::Book"), nullptr);
}

TEST_F(SampleModelTest, UnitStubsNameTheSubUnitFilesInOrder) {
    EXPECT_EQ(Names({units.begin(), units.end()}), (Strings{L"People", L"Accounts", L"Reservations", L"Acquisitions"}));
    const Strings stored = {L"$CURDIR\\people.cat", L"$CURDIR\\accounts.cat",
                            L"$PACKAGES\\reservations\\reservations.cat", L"&\\packages\\acquisitions\\acquisitions.cat"};
    std::size_t i = 0;
    for (ClumUnitObject* stub : units) {
        EXPECT_TRUE(stub->is_unit.Get());
        EXPECT_FALSE(stub->is_loaded.Get());
        EXPECT_EQ(test::Text(stub->file_name.Get()), stored[i++]);
        EXPECT_NE(stub->Owner(), nullptr);
    }
    // The first two name files beside the model that hold those units.
    for (const char* fileName : {"people.cat", "accounts.cat"}) {
        auto unitFile = ReadFile(Wide(kLibrary / fileName));
        EXPECT_EQ(Messages(), Strings{}) << fileName;
        ASSERT_EQ(unitFile->unit.GetSize(), 1) << fileName;
    }
}

TEST_F(SampleModelTest, TheAccountsUnitIsReadWhole) {
    auto accounts = ReadFile(Wide(kLibrary / "accounts.cat"));
    EXPECT_EQ(Messages(), Strings{});
    ClumVellumEntity* category = accounts->unit.Get(0);
    EXPECT_EQ(Attr(category, L"documentation"),
              L"Money the library is owed: overdue fees, charges for lost copies\r\n"
              L"and the payments that settle them, in \u20ac or, at the Dover branch, in \u00a3.");
    std::wstring outline;
    Outline(accounts.get(), 0, outline);
    EXPECT_EQ(outline, L"Class_Category Accounts\n  Class Charge\n  Class OverdueFee\n  Class Payment\n");

    ClumVellumEntity* settle = Find(category, L"Operation", L"settle");
    EXPECT_EQ(Ref(settle, L"exceptions"), L"PaymentRefused | AccountClosed");
    ClumVellumEntity* charge = Find(settle, L"Parameter", L"charge");
    EXPECT_EQ(Attr(charge, L"dir"), L"inout");
    EXPECT_EQ(Ref(charge, L"type"), L"Logical View::Accounts::Charge");
    EXPECT_EQ(Ref(Find(category, L"Operation", L"refund"), L"exceptions"), L"RefundNotAllowed");
    EXPECT_EQ(test::Shown(Children(Find(category, L"ClassAttribute", L"inCash"), L"initv")),
              Strings{L"VellumBool true"});
    // One italic font for the abstract class, one plain font for the two others.
    EXPECT_EQ(accounts->fonts.GetSize(), 2);
    EXPECT_EQ(test::CountByClass(accounts.get()).at(L"ClassView"), 3);
}

TEST_F(ParserTest, TheSampleFilesReadTogether) {
    std::vector<ClumVellumFile*> files;
    ClumParser::Parse({Wide(kLibrary / "library.mdl"), Wide(kLibrary / "people.cat"), Wide(kLibrary / "accounts.cat")},
                      files, units);
    std::vector<std::unique_ptr<ClumVellumFile>> owned(files.begin(), files.end());
    EXPECT_EQ(Messages(), Strings{});
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0]->design.GetSize(), 1);
    EXPECT_EQ(Names({files[1]->unit.Get(0)}), Strings{L"People"});
    EXPECT_EQ(Names({files[2]->unit.Get(0)}), Strings{L"Accounts"});
    EXPECT_EQ(Names({units.begin(), units.end()}), (Strings{L"People", L"Accounts", L"Reservations", L"Acquisitions"}));
}

}  // namespace
}  // namespace lum
