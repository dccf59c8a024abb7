// Loading models spread over several files: which sub-unit files are read,
// in what order, where their units and fonts go, what is handed back, and
// how stored paths of external documents are rewritten.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "loading/loading_fixture.h"

namespace lum::test {
namespace {

ClumUnitObject* Unit(ClumVellumEntity* object) { return As<ClumUnitObject>(object); }

std::wstring DocPath(ClumVellumEntity* owner) {
    const std::vector<ClumVellumEntity*> docs = Children(owner, L"external_docs");
    if (docs.size() != 1) return L"<" + std::to_wstring(docs.size()) + L" documents>";
    return std::wstring(As<Clumexternal_doc>(docs[0])->external_doc_path.Get());
}

std::vector<std::wstring> Faces(const ClumVellumFile* file) {
    std::vector<std::wstring> faces;
    for (int i = 0; i < file->fonts.GetSize(); ++i) faces.push_back(file->fonts.Get(i)->face.Get().c_str());
    return faces;
}

class ManagerTest : public LoadingTest {
protected:
    void SetUp() override {
        LoadingTest::SetUp();
        resolver.AddPath(L"X", Wide(dir));
    }

    // Every object held by the loaded models.
    std::set<const ClumVellumEntity*> Reachable() {
        std::set<const ClumVellumEntity*> all;
        for (ClumVellumFile* model : models) ForEachObject(model, [&](ClumVellumEntity* object) { all.insert(object); });
        return all;
    }

    void ExpectLoadedFrom(ClumVellumEntity* object, const fs::path& file) {
        ASSERT_NE(Unit(object), nullptr);
        EXPECT_TRUE(Unit(object)->is_loaded.Get()) << Attr(object, L"name");
        EXPECT_EQ(std::wstring(Unit(object)->file_name.Get()), Resolved(file)) << Attr(object, L"name");
    }

    void ExpectStub(ClumVellumEntity* object, const std::wstring& storedPath) {
        ASSERT_NE(Unit(object), nullptr);
        EXPECT_FALSE(Unit(object)->is_loaded.Get()) << Attr(object, L"name");
        EXPECT_EQ(std::wstring(Unit(object)->file_name.Get()), storedPath) << Attr(object, L"name");
    }
};

// --- Which files are read, in what order ----------------------------------

TEST_F(ManagerTest, WithoutSubUnitsEveryStubIsReturnedAndLeftInPlace) {
    Write("main.mdl", MainFile(Package("Inner", Models(Stub("R", "$X\\r.cat"))) + Stub("P", "$X\\p.cat") +
                               Class("K", ExternalDoc("$X\\doc.txt")) + Stub("Q", "$X\\q.cat")));
    for (const char* name : {"p", "q", "r"}) Write(std::string(name) + ".cat", UnitFile(name, ""));
    Load("main.mdl", false);

    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(UnitNames(), (Strings{L"R", L"P", L"Q"})) << "in the order the reader completes them";
    EXPECT_EQ(Names(RootModels()), (Strings{L"Inner", L"P", L"K", L"Q"}));
    ExpectStub(RootModels()[1], L"$X\\p.cat");
    ExpectStub(RootModels()[3], L"$X\\q.cat");
    EXPECT_EQ(DocPath(Find(L"K")), Resolved(dir / "doc.txt")) << "documents are resolved all the same";
    EXPECT_TRUE(errors.empty());
}

TEST_F(ManagerTest, SubUnitsLoadBreadthFirst) {
    // A1 is found in A's file: it is loaded after B, which the main file
    // names. The fonts of each file join the main file's in load order.
    Write("main.mdl", MainFile(Stub("A", "$X\\sa\\a.cat") + Stub("B", "$X\\b.cat"), "Main"));
    Write("sa/a.cat", UnitFile("A", Models(Stub("A1", "&\\a1.cat")) + DiagramWithFont("FA")));
    Write("b.cat", UnitFile("B", DiagramWithFont("FB")));
    Write("sa/a1.cat", UnitFile("A1", DiagramWithFont("FA1")));
    Load("main.mdl");

    EXPECT_TRUE(units.empty()) << ::testing::PrintToString(UnitNames());
    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(Faces(models[0]), (Strings{L"Main", L"FA", L"FB", L"FA1"}));
    ASSERT_EQ(Names(RootModels()), (Strings{L"A", L"B"}));
    ExpectLoadedFrom(RootModels()[0], dir / "sa" / "a.cat");
    ExpectLoadedFrom(RootModels()[1], dir / "b.cat");
    // A1's stored path is taken relative to the file it was found in.
    const std::vector<ClumVellumEntity*> inA = Children(RootModels()[0], L"logical_models");
    ASSERT_EQ(Names(inA), Strings{L"A1"});
    ExpectLoadedFrom(inA[0], dir / "sa" / "a1.cat");
    EXPECT_TRUE(errors.empty());
}

TEST_F(ManagerTest, LoadedUnitsJoinTheStubsContainerAtTheEnd) {
    Write("main.mdl", MainFile(Class("K1") + Stub("P", "$X\\p.cat") + Class("K2")));
    Write("p.cat", UnitFile("P", Models(Class("C"))) + UnitFile("P2", ""));
    Load("main.mdl");

    EXPECT_TRUE(units.empty());
    const std::vector<ClumVellumEntity*> roots = RootModels();
    ASSERT_EQ(Names(roots), (Strings{L"K1", L"K2", L"P", L"P2"}));
    ExpectLoadedFrom(roots[2], dir / "p.cat");
    ExpectLoadedFrom(roots[3], dir / "p.cat");
    EXPECT_EQ(Names(Children(roots[2], L"logical_models")), Strings{L"C"});
    EXPECT_EQ(Attr(roots[2], L"quid"), L"QU-P") << "the unit comes from its file, not from the stub";
}

TEST_F(ManagerTest, FontsGoToTheMainFileThatHeldTheStub) {
    Write("one.mdl", MainFile(Class("K"), "One"));
    Write("two.mdl", MainFile(Stub("P", "$X\\p.cat"), "Two"));
    Write("p.cat", UnitFile("P", DiagramWithFont("FP") + DiagramWithFont("FP") + DiagramWithFont("FQ")));
    ClumManager::LoadModels(errors, {Wide(dir / "one.mdl"), Wide(dir / "two.mdl")}, models, units, resolver, true);

    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(Faces(models[0]), Strings{L"One"});
    EXPECT_EQ(Faces(models[1]), (Strings{L"Two", L"FP", L"FQ"}));
}

TEST_F(ManagerTest, StubsAlreadyInTheListAreLoadedFirst) {
    Write("one.mdl", MainFile(Stub("P", "$X\\p.cat")));
    Write("two.mdl", MainFile(Stub("Q", "$X\\q.cat")));
    Write("p.cat", UnitFile("P", DiagramWithFont("FP")));
    Write("q.cat", UnitFile("Q", DiagramWithFont("FQ")));
    Load("one.mdl", false);
    ASSERT_EQ(UnitNames(), Strings{L"P"});

    ClumManager::LoadModels(errors, {Wide(dir / "two.mdl")}, models, units, resolver, true);
    EXPECT_TRUE(units.empty());
    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(Faces(models[0]), Strings{L"FP"});
    EXPECT_EQ(Faces(models[1]), Strings{L"FQ"});
}

// --- Stubs that stay ------------------------------------------------------

TEST_F(ManagerTest, MissingFileLeavesTheStubUntilTheMapIsCorrected) {
    Write("main.mdl", MainFile(Stub("P", "$LATER\\p.cat")));
    Write("later/p.cat", UnitFile("P", Models(Class("C"))));
    Load("main.mdl");

    ASSERT_EQ(UnitNames(), Strings{L"P"});
    ASSERT_EQ(RootModels().size(), 1u);
    EXPECT_EQ(RootModels()[0], units.front());
    ExpectStub(units.front(), L"$LATER\\p.cat");
    EXPECT_TRUE(errors.empty()) << "a file that cannot be opened is not reported";

    resolver.AddPath(L"later", Wide(dir / "later"));
    ClumManager::LoadSubUnits(errors, units, resolver);
    EXPECT_TRUE(units.empty());
    ASSERT_EQ(Names(RootModels()), Strings{L"P"});
    ExpectLoadedFrom(RootModels()[0], dir / "later" / "p.cat");
    EXPECT_EQ(Names(Children(RootModels()[0], L"logical_models")), Strings{L"C"});
}

TEST_F(ManagerTest, StubNamingADirectoryStays) {
    Write("main.mdl", MainFile(Stub("P", "$X\\pkg")));
    fs::create_directories(dir / "pkg");
    Load("main.mdl");

    EXPECT_EQ(UnitNames(), Strings{L"P"});
    ASSERT_EQ(RootModels().size(), 1u);
    ExpectStub(RootModels()[0], L"$X\\pkg");
}

TEST_F(ManagerTest, UnitAlreadyLoadedIsDroppedUnread) {
    Write("main.mdl", MainFile(Stub("P", "$X\\p.cat")));
    Write("p.cat", UnitFile("P", Models(Class("C"))));
    Load("main.mdl", false);
    ASSERT_EQ(units.size(), 1u);
    ClumUnitObject* stub = units.front();
    stub->is_loaded.Set(true);

    ClumManager::LoadSubUnits(errors, units, resolver);
    EXPECT_TRUE(units.empty());
    ASSERT_EQ(RootModels(), std::vector<ClumVellumEntity*>{stub});
    EXPECT_EQ(std::wstring(stub->file_name.Get()), L"$X\\p.cat");
    EXPECT_EQ(Find(L"C"), nullptr);
}

TEST_F(ManagerTest, FilesAlreadyOnTheWayAreNotReadAgain) {
    // S names the file it is in; A's file names B's, which names A's again
    // (spelt differently); M names the main file.
    Write("main.mdl", MainFile(Stub("A", "$X\\a.cat") + Stub("P", "$X\\p.cat") + Stub("M", "&\\main.mdl")));
    Write("p.cat", UnitFile("P", Models(Stub("S", "&\\.\\p.cat"))));
    Write("a.cat", UnitFile("A", Models(Stub("B", "$X\\b.cat"))));
    Write("b.cat", UnitFile("B", Models(Stub("A", "$X\\sub\\..\\a.cat"))));
    fs::create_directories(dir / "sub");
    Load("main.mdl");

    EXPECT_EQ(UnitNames(), (Strings{L"M", L"S", L"A"}));
    ASSERT_EQ(Names(RootModels()), (Strings{L"M", L"A", L"P"}));
    ExpectStub(RootModels()[0], L"&\\main.mdl");
    ExpectLoadedFrom(RootModels()[1], dir / "a.cat");
    ExpectLoadedFrom(RootModels()[2], dir / "p.cat");
    const std::vector<ClumVellumEntity*> inA = Children(RootModels()[1], L"logical_models");
    ASSERT_EQ(Names(inA), Strings{L"B"});
    ExpectLoadedFrom(inA[0], dir / "b.cat");
    const std::vector<ClumVellumEntity*> inB = Children(inA[0], L"logical_models");
    ASSERT_EQ(inB.size(), 1u);
    ExpectStub(inB[0], L"$X\\sub\\..\\a.cat");
    const std::vector<ClumVellumEntity*> inP = Children(RootModels()[2], L"logical_models");
    ASSERT_EQ(inP.size(), 1u);
    ExpectStub(inP[0], L"&\\.\\p.cat");
}

TEST_F(ManagerTest, TwoStubsNamingOneFileGetACopyEach) {
    Write("main.mdl", MainFile(Stub("P", "$X\\p.cat") + Class("K") + Stub("P", "$x\\P.CAT")));
    Write("p.cat", UnitFile("P", Models(Class("C"))));
    Load("main.mdl");

    EXPECT_TRUE(units.empty());
    const std::vector<ClumVellumEntity*> roots = RootModels();
    ASSERT_EQ(Names(roots), (Strings{L"K", L"P", L"P"}));
    EXPECT_NE(roots[1], roots[2]);
    EXPECT_TRUE(Unit(roots[1])->is_loaded.Get());
    EXPECT_TRUE(Unit(roots[2])->is_loaded.Get());
}

TEST_F(ManagerTest, StubWithoutContainerIsReturnedUnloaded) {
    Write("p.cat", UnitFile("P", ""));
    std::unique_ptr<ClumVellumEntity> made(ClumClassFactory::MakeClass(L"Class_Category"));
    ClumUnitObject* stub = Unit(made.get());
    ASSERT_NE(stub, nullptr);
    stub->is_unit.Set(true);
    stub->file_name.Set(WString(L"$X\\p.cat"));
    units.push_back(stub);

    ClumManager::LoadSubUnits(errors, units, resolver);
    EXPECT_EQ(units, std::list<ClumUnitObject*>{stub});
    EXPECT_FALSE(stub->is_loaded.Get());
    units.clear();
}

TEST_F(ManagerTest, StubOutsideAnyFileLoadsWithoutFonts) {
    Write("p.cat", UnitFile("P", DiagramWithFont("FP")));
    std::unique_ptr<ClumVellumEntity> owner(ClumClassFactory::MakeClass(L"Class_Category"));
    ClumVellumEntity* stub = ClumClassFactory::MakeClass(L"Class_Category");
    Unit(stub)->is_unit.Set(true);
    Unit(stub)->file_name.Set(WString(L"$X\\p.cat"));
    owner->GetFeature(ClumIdent(L"logical_models"))->GetLink()->Insert(stub, -1);
    units.push_back(Unit(stub));

    ClumManager::LoadSubUnits(errors, units, resolver);
    EXPECT_TRUE(units.empty());
    const std::vector<ClumVellumEntity*> loaded = Children(owner.get(), L"logical_models");
    ASSERT_EQ(Names(loaded), Strings{L"P"});
    ExpectLoadedFrom(loaded[0], dir / "p.cat");
}

// --- Units the model cannot hold -------------------------------------------

TEST_F(ManagerTest, UnitTheContainerRefusesIsDeleted) {
    // The root package link holds packages only: the subsystem in the root
    // package's file has no place.
    Write("main.mdl",
          "(object Design \"Logical View\"\n    root_category " + Stub("Logical View", "$X\\root.cat") + ")\n");
    Write("root.cat", "(object SubSystem \"S\" is_unit TRUE quid \"QSS\")\n" +
                          UnitFile("Logical View", Models(Class("K"))));
    Load("main.mdl");

    EXPECT_TRUE(units.empty());
    ASSERT_EQ(models.size(), 1u);
    const std::vector<ClumVellumEntity*> roots = Children(models[0]->design.Get(0), L"root_category");
    ASSERT_EQ(Names(roots), Strings{L"Logical View"});
    ExpectLoadedFrom(roots[0], dir / "root.cat");
    EXPECT_EQ(Names(Children(roots[0], L"logical_models")), Strings{L"K"});
    EXPECT_EQ(Messages(), Strings{L"Cannot insert object into the feature 'Design::root_category'"});
}

TEST_F(ManagerTest, StubInsideARefusedUnitIsForgotten) {
    Write("main.mdl",
          "(object Design \"Logical View\"\n    root_category " + Stub("Logical View", "$X\\root.cat") + ")\n");
    Write("root.cat",
          "(object SubSystem \"S\" is_unit TRUE quid \"QSS\"\n    physical_models (list unit_reference_list\n"
          "        (object SubSystem \"T\" is_unit TRUE is_loaded FALSE file_name \"$X\\t.cat\" quid \"QT\")))\n" +
              UnitFile("Logical View", ""));
    Write("t.cat", UnitFile("T", ""));
    Load("main.mdl");

    // The stub went with the unit that held it: it is neither read nor
    // handed back.
    EXPECT_TRUE(units.empty());
    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(Names(Children(models[0]->design.Get(0), L"root_category")), Strings{L"Logical View"});
}

TEST_F(ManagerTest, StubInsideWhatAUnitFileHoldsBesidesItsUnitsIsForgotten) {
    // A design in a sub-unit file is no unit: it goes with the file, and so
    // does the stub inside it.
    Write("main.mdl", MainFile(Stub("P", "$X\\p.cat")));
    Write("p.cat", UnitFile("P", "") + "(object Design \"Other\"\n    root_category " + Stub("Q", "$X\\q.cat") + ")\n");
    Write("q.cat", UnitFile("Q", ""));
    Load("main.mdl");

    EXPECT_TRUE(units.empty());
    ASSERT_EQ(Names(RootModels()), Strings{L"P"});
    ExpectLoadedFrom(RootModels()[0], dir / "p.cat");
}

TEST_F(ManagerTest, StubsReturnedAreStillInTheModel) {
    // Q stands inside the stub P; P's file replaces P, and Q with it.
    Write("main.mdl", MainFile(Stub("P", "$X\\p.cat", Models(Stub("Q", "$X\\missing.cat")))));
    Write("p.cat", UnitFile("P", ""));
    Load("main.mdl");

    const std::set<const ClumVellumEntity*> reachable = Reachable();
    for (const ClumUnitObject* unit : units) EXPECT_EQ(reachable.count(unit), 1u) << "a returned stub was deleted";
    ASSERT_EQ(Names(RootModels()), Strings{L"P"});
    ExpectLoadedFrom(RootModels()[0], dir / "p.cat");
}

// --- External documents ---------------------------------------------------

TEST_F(ManagerTest, MainFileDocumentsAreResolvedInTheFinalPass) {
    Write("main.mdl", MainFile(Class("K", ExternalDoc("&\\docs\\k.txt")) + Stub("Q", "$X\\q.cat", ExternalDoc("$X\\q.txt")),
                               ""));
    Write("sub/other.mdl", MainFile(Class("L", ExternalDoc("$X\\l.txt")) + Class("L2", ExternalDoc("&\\l2.txt"))));
    ClumManager::LoadModels(errors, {Wide(dir / "main.mdl"), Wide(dir / "sub" / "other.mdl")}, models, units, resolver,
                            false);

    ASSERT_EQ(models.size(), 2u);
    EXPECT_EQ(DocPath(Find(models[0], L"K")), Resolved(dir / "docs" / "k.txt"));
    EXPECT_EQ(DocPath(Find(models[0], L"Q")), L"$X\\q.txt") << "the walk stays out of stubs";
    EXPECT_EQ(DocPath(Find(models[1], L"L")), Resolved(dir / "l.txt"));
    // The root of each file serves its first resolution only.
    EXPECT_EQ(DocPath(Find(models[1], L"L2")), L"&\\l2.txt");
}

TEST_F(ManagerTest, SubUnitDocumentsAreResolvedOnceWhileLoading) {
    // While P's file is read the root is already cleared, so "&" survives;
    // resolving P's documents again in the final pass would give it the
    // main file's directory.
    resolver.AddPath(L"notes", L"&\\notes");
    resolver.SetRootDir(L"/elsewhere/left.mdl");  // not built into the map
    Write("main.mdl", MainFile(Stub("P", "$X\\sub\\p.cat")));
    Write("sub/p.cat", UnitFile("P", Models(Class("C", ExternalDoc("$NOTES\\c.txt")) +
                                            Stub("Q", "$X\\missing.cat", ExternalDoc("$NOTES\\q.txt")))));
    Load("main.mdl");

    EXPECT_EQ(UnitNames(), Strings{L"Q"});
    EXPECT_EQ(DocPath(Find(L"C")), L"&\\notes\\c.txt");
    EXPECT_EQ(DocPath(Find(L"Q")), L"$NOTES\\q.txt");
}

// --- Diagnostics and file names -------------------------------------------

TEST_F(ManagerTest, ReporterIsResetAfterEachCall) {
    tErrorList hostList;
    CErrorReporter::GetInstance().SetErrorList(hostList);
    Write("main.mdl", MainFile(Stub("P", "$X\\p.cat") + Stub("Q", "$LATER\\q.cat")));
    Write("p.cat", UnitFile("P", Models("(object NoSuchClass \"x\")\n")));
    Write("later/q.cat", UnitFile("Q", Models("(object NoSuchClass \"y\")\n")));
    Load("main.mdl");

    EXPECT_EQ(errors.size(), 1u) << "what the sub-unit reader reports goes to the caller's list";
    EXPECT_TRUE(hostList.empty());
    EXPECT_NE(&CErrorReporter::GetInstance().GetErrorList(), &errors);
    EXPECT_NE(&CErrorReporter::GetInstance().GetErrorList(), &hostList);

    CErrorReporter::GetInstance().SetErrorList(hostList);
    tErrorList later;
    resolver.AddPath(L"later", Wide(dir / "later"));
    ClumManager::LoadSubUnits(later, units, resolver);
    EXPECT_TRUE(units.empty());
    EXPECT_EQ(later.size(), 1u);
    EXPECT_TRUE(hostList.empty());
    EXPECT_NE(&CErrorReporter::GetInstance().GetErrorList(), &later);
    EXPECT_NE(&CErrorReporter::GetInstance().GetErrorList(), &hostList);
}

TEST_F(ManagerTest, StoredNamesMatchFilesInAnyCase) {
    Write("Model/Main.MDL", MainFile(Stub("P", "$X\\MODEL\\packages\\PEOPLE.cat")));
    Write("Model/Packages/People.CAT", UnitFile("P", Models(Class("C"))));
    ClumManager::LoadModels(errors, {Wide(dir) + L"\\model\\main.mdl"}, models, units, resolver, true);

    EXPECT_TRUE(units.empty());
    ASSERT_EQ(models.size(), 1u);
    ASSERT_EQ(Names(RootModels()), Strings{L"P"});
    // The unit records the path as resolved, not as found on disk.
    EXPECT_EQ(std::wstring(Unit(RootModels()[0])->file_name.Get()), Resolved(dir) + L"\\MODEL\\packages\\PEOPLE.cat");
    EXPECT_NE(Find(L"C"), nullptr);
}

TEST_F(ManagerTest, MissingMainFileContributesNothing) {
    Write("main.mdl", MainFile(Stub("P", "$X\\p.cat")));
    ClumManager::LoadModels(errors, {Wide(dir / "absent.mdl"), Wide(dir / "main.mdl")}, models, units, resolver, true);
    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(std::wstring(models[0]->fileName.Get()), std::wstring(Wide(dir / "main.mdl")));
    EXPECT_EQ(UnitNames(), Strings{L"P"});
    EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace lum::test
