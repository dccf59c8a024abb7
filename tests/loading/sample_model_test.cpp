// The bundled library model, loaded whole: the main file, the unit files in
// the sample's folders and the path map that places them.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "loading/loading_fixture.h"

namespace lum::test {
namespace {

const fs::path kLibrary = fs::path(LUM_SAMPLES_DIR) / "library";

// Runs each test from a scratch working directory, so that nothing is found
// relative to the sample by chance.
class SampleModelTest : public LoadingTest {
protected:
    void SetUp() override {
        LoadingTest::SetUp();
        previous = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override {
        fs::current_path(previous);
        LoadingTest::TearDown();
    }

    void LoadSample() {
        ClumManager::LoadModels(errors, {Wide(kLibrary / "library.mdl")}, models, units, resolver, true);
    }

    // "Name (file)" for every package below `object`, depth first, with the
    // file relative to the sample folder for those loaded from a file.
    void Packages(ClumVellumEntity* object, int depth, std::wstring& out) {
        for (ClumVellumEntity* child : Children(object, L"logical_models")) {
            auto* package = As<ClumClass_Category>(child);
            if (package == nullptr) continue;
            out += std::wstring(2 * depth, L' ') + Attr(package, L"name");
            if (!package->file_name.IsEmpty()) {
                std::wstring file = package->file_name.Get();
                const std::wstring folder = Resolved(kLibrary);
                if (file.compare(0, folder.size(), folder) == 0) file = L"~" + file.substr(folder.size());
                out += L" (" + file + (package->is_loaded.Get() ? L")" : L", not loaded)");
            }
            out += L"\n";
            Packages(package, depth + 1, out);
        }
    }

    fs::path previous;
};

TEST_F(SampleModelTest, LoadsEveryUnitThroughThePathMap) {
    resolver.LoadFromFile(Wide(kLibrary / "library.map"));
    LoadSample();

    EXPECT_TRUE(units.empty()) << ::testing::PrintToString(UnitNames());
    EXPECT_EQ(Messages(), Strings{});
    ASSERT_EQ(models.size(), 1u);

    std::wstring packages;
    Packages(Children(models[0]->design.Get(0), L"root_category").at(0), 0, packages);
    // Loaded units follow the packages stored with the main file.
    EXPECT_EQ(packages,
              L"Catalog\n"
              L"Lending\n"
              L"People (~\\people.cat)\n"
              L"Accounts (~\\accounts.cat)\n"
              L"Reservations (~\\packages\\reservations\\reservations.cat)\n"
              L"  Notices (~\\packages\\reservations\\notices\\notices.cat)\n"
              L"Acquisitions (~\\packages\\acquisitions\\acquisitions.cat)\n");

    // The main file's document is placed by the final pass, against the
    // main file's folder.
    ClumVellumEntity* loan = Find(L"Loan");
    ASSERT_NE(loan, nullptr);
    const std::vector<ClumVellumEntity*> docs = Children(loan, L"external_docs");
    ASSERT_EQ(docs.size(), 1u);
    EXPECT_EQ(Attr(docs[0], L"external_doc_path"), Resolved(kLibrary / "docs" / "loan-rules.txt"));

    // Every file's objects once, in one graph: five package files' worth of
    // classes, and each file's own fonts (fonts are pooled per file only);
    // the header objects of the unit files are left behind with them.
    const std::map<std::wstring, int> expected = {
        {L"ActionTime", 1}, {L"Association", 4}, {L"AssociationViewNew", 1}, {L"AttachView", 2}, {L"Attribute", 6},
        {L"Cardinality", 7}, {L"CategoryView", 4}, {L"Class", 18}, {L"ClassAttribute", 30}, {L"ClassDiagram", 6},
        {L"ClassView", 14}, {L"Class_Category", 9}, {L"Design", 1}, {L"Event", 4}, {L"Font", 7}, {L"ImportView", 3},
        {L"InheritTreeView", 1}, {L"InheritView", 4}, {L"Inheritance_Relationship", 5}, {L"ItemLabel", 22},
        {L"NoteView", 2}, {L"Operation", 8}, {L"Parameter", 4}, {L"Processes", 1}, {L"Processor", 1},
        {L"Properties", 1}, {L"Role", 8}, {L"RoleView", 2}, {L"SegLabel", 3}, {L"Semantic_Info", 1}, {L"State", 4},
        {L"StateView", 3}, {L"State_Diagram", 1}, {L"State_Machine", 1}, {L"State_Transition", 4}, {L"SubSystem", 1},
        {L"Text", 1}, {L"TransView", 2}, {L"UseCase", 1}, {L"UseCaseDiagram", 1}, {L"UseCaseView", 1},
        {L"Vellum", 1}, {L"VellumBool", 2}, {L"VellumFloat", 4}, {L"VellumIdent", 5}, {L"VellumInt", 7},
        {L"Visibility_Relationship", 7}, {L"action", 1}, {L"defaults", 1}, {L"external_doc", 1}, {L"module", 1},
    };
    EXPECT_EQ(CountByClass(models[0]), expected);
    EXPECT_EQ(models[0]->fonts.GetSize(), 7);
}

TEST_F(SampleModelTest, WithoutThePathMapOnlyUnitsPlacedByTheirHolderLoad) {
    LoadSample();
    EXPECT_EQ(UnitNames(), (Strings{L"People", L"Accounts", L"Reservations"}));
    EXPECT_EQ(Messages(), Strings{});
    ASSERT_NE(Find(L"Acquisitions"), nullptr);
    EXPECT_TRUE(As<ClumUnitObject>(Find(L"Acquisitions"))->is_loaded.Get());
    EXPECT_EQ(Attr(Children(Find(L"Loan"), L"external_docs").at(0), L"external_doc_path"),
              L"$CURDIR\\docs\\loan-rules.txt");
}

}  // namespace
}  // namespace lum::test
