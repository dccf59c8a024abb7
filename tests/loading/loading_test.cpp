// Loading: stored paths resolved through a map of symbols, map files, and
// models spread over a main file and sub-unit files: which files are read,
// in what order, where their units and fonts go, what is handed back.
#include <set>

#include "support/lum_test.h"

namespace lum {
namespace {
using test::Attr;
using test::Children;
using test::Strings;
namespace fs = std::filesystem;

// The form in which the resolver hands back a real path.
std::wstring Resolved(const fs::path& path) {
    std::wstring text = path.wstring();
    if (!text.empty()) std::replace(text.begin() + 1, text.end(), L'/', L'\\');
    return text;
}

class tOpenResolver : public ClumVirtualPathResolver {
public:
    using ClumVirtualPathResolver::ResolvePath;
    std::wstring Resolve(const wchar_t* path) { return ResolvePath(WString(path), nullptr); }
    Strings Expand(const wchar_t* name) const {
        std::list<WString> out;
        if (!FindVirtualPath(name, out)) return {L"<none>"};
        return {out.begin(), out.end()};
    }
    std::vector<std::pair<std::wstring, std::wstring>> Map() const {
        return {GetOriginalPaths().begin(), GetOriginalPaths().end()};
    }
};

TEST(PathResolver, SymbolsParametersCyclesAndTheRootMarker) {
    tOpenResolver resolver;
    for (const auto& [symbol, path] : std::initializer_list<std::pair<const wchar_t*, const wchar_t*>>{
             {L"Lib", L"D:\\x"}, {L"a", L"$b\\x"}, {L"b", L"$c\\y"}, {L"c", L"C:\\root"}, {L"mid", L"$deep\\m"},
             {L"deep", L"d1/d2"}, {L"star", L"C:\\*\\*\\*"}, {L"outer", L"$star(gamma)\\more"}, {L"self", L"$SELF\\4"},
             {L"xa", L"$xb\\1"}, {L"xb", L"$xa\\2"}, {L"into", L"C:\\$XA\\3"}, {L"empty", L""}, {L"here", L"&\\units"},
             {L"srv", L"/srv/lib"}, {L"net", L"\\\\srv\\share"}}) {
        resolver.AddPath(symbol, path);
    }
    EXPECT_EQ(resolver.Resolve(L"$LIB\\a"), L"$LIB\\a") << "nothing resolves before the map is reduced";
    resolver.ReduceMap();
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"$LIB\\a", L"D:\\x\\a"}, {L"$lIb/a", L"D:\\x\\a"}, {L"C:\\$lib\\f", L"C:\\D:\\x\\f"},
        {L"$LIBRARY\\f", L"$LIBRARY\\f"}, {L"$NONE\\a", L"$NONE\\a"}, {L"$empty\\a", L"$empty\\a"},
        {L"$A\\f", L"C:\\root\\y\\x\\f"}, {L"C:\\$mid\\f", L"C:\\d1\\d2\\m\\f"},
        {L"$STAR(b)\\f", L"C:\\b\\*\\f"}, {L"$star(a,  b ,c)", L"C:\\a\\b \\c"}, {L"$star(a,,c)", L"C:\\a\\c"},
        {L"$star(a,b,c,d)", L"C:\\a\\b\\c"}, {L"$OUTER\\f", L"C:\\gamma\\*\\more\\f"},
        {L"$self\\f", L"$self\\f"}, {L"$xa\\f", L"$xa\\f"}, {L"$xb\\f", L"$xa\\2\\f"}, {L"$into\\f", L"C:\\$XA\\3\\f"},
        {L"$lib\\$\\$lib", L"D:\\x\\$\\$lib"}, {L"$HERE\\p", L"&\\units\\p"},
        {L"$SRV\\a.cat", L"/srv\\lib\\a.cat"}, {L"$net\\a.cat", L"\\\\srv\\share\\a.cat"},
        {L"", L""}, {L"\\/\\", L""}, {L"C:/models//lib/ a.cat", L"C:\\models\\lib\\a.cat"},
        {L"\\\\server\\share\\f", L"\\\\server\\share\\f"}, {L"\\\\s", L"\\\\s"}, {L"\\a\\b", L"a\\b"},
        {L"//srv/share/f", L"/srv\\share\\f"},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(resolver.Resolve(path), expected) << path;
    EXPECT_EQ(resolver.Expand(L"star(x)"), (Strings{L"C:", L"x", L"*"}));
    EXPECT_EQ(resolver.Expand(L"lib(x"), Strings{L"<none>"});
    EXPECT_EQ(resolver.Map().size(), 16u);
    EXPECT_EQ(resolver.Map().front().first, L"a");
    // The root marker: the directory of the file being read, for one resolution.
    const std::pair<const wchar_t*, const wchar_t*> rooted[] = {
        {L"&\\f", L"C:\\m\\f"}, {L"&sub\\f", L"C:\\m\\f"}, {L"$&x\\f", L"C:\\m\\f"}, {L"&", L"C:\\m"},
        {L"a\\&\\f", L"a\\&\\f"}, {L"x&\\f", L"x&\\f"}, {L"$HERE\\p", L"C:\\m\\units\\p"},
    };
    for (const auto& [path, expected] : rooted) {
        resolver.SetRootDir(L"C:/m/main.mdl");
        EXPECT_EQ(resolver.Resolve(path), expected) << path;
    }
    EXPECT_EQ(resolver.Resolve(L"&\\f"), L"&\\f");
    resolver.SetRootDir(L"\\\\server\\share\\main.mdl");
    EXPECT_EQ(resolver.Resolve(L"&\\f"), L"\\\\server\\share\\f");
    resolver.SetRootDir(L"/data/m/main.mdl");
    EXPECT_EQ(resolver.Resolve(L"&\\p.cat"), L"/data\\m\\p.cat");
    resolver.AddPath(L"LIB", L"E:\\y");  // replaces, in any case, from the next reduction on
    EXPECT_EQ(resolver.Resolve(L"$LIB\\a"), L"D:\\x\\a");
    resolver.ReduceMap();
    EXPECT_EQ(resolver.Resolve(L"$LIB\\a"), L"E:\\y\\a");
    resolver.RemovePath(L"lib");
    EXPECT_EQ(resolver.Resolve(L"$LIB\\a"), L"$LIB\\a");
}

TEST(PathMapFile, EntriesEndAtLineFeedsAndSemicolonsNothingTrimmedAndSaveReadsBack) {
    InitializeLUM();
    test::tScratch scratch;
    tOpenResolver resolver;
    resolver.LoadFromFile(test::Wide(scratch.Write("Maps/Paths.MAP", "A=C:\\one\r\nB = x;note\nC=D\n\tcaf\xe9=\xe9t\xe9\nlast=z")));
    resolver.LoadFromFile(test::Wide(scratch.dir) + L"\\maps\\paths.map");  // found in any case; later entries replace
    resolver.LoadFromFile(test::Wide(scratch.dir / "absent.map"));
    resolver.LoadFromFile(test::Wide(scratch.Write("ends.map", "E=\n=y\nF=")));
    const std::vector<std::pair<std::wstring, std::wstring>> map = {
        {L"", L"y"}, {L"a", L"C:\\one\r"}, {L"e", L""}, {L"b ", L" x"}, {L"last", L"z"}, {L" caf\u00e9", L"\u00e9t\u00e9"}, {L"note c", L"D"}};
    EXPECT_EQ(resolver.Map(), map);
    resolver.ReduceMap();
    EXPECT_EQ(resolver.Resolve(L"$A\\f"), L"C:\\one\\f") << "a carriage return stays in the stored path only";
    resolver.SaveToFile(test::Wide(scratch.dir / "out.map"));
    EXPECT_EQ(scratch.Read("out.map"), "=y\na=C:\\one\r\ne=\nb = x\nlast=z\n caf\xe9=\xe9t\xe9\nnote c=D\n");
    tOpenResolver loaded;
    loaded.LoadFromFile(test::Wide(scratch.dir / "out.map"));
    EXPECT_EQ(loaded.Map(), map);
    loaded.AddPath(L"u", L"C:\\\u0416");
    loaded.SaveToFile(test::Wide(scratch.dir / "out.map"));
    EXPECT_NE(scratch.Read("out.map").find("u=C:\\?\n"), std::string::npos);
    std::wostringstream printed;
    std::wstreambuf* previous = std::wcout.rdbuf(printed.rdbuf());
    loaded.ReduceMap();
    loaded.PrintTable();
    std::wcout.rdbuf(previous);
    EXPECT_NE(printed.str().find(L"a=C:\\one\n"), std::wstring::npos) << printed.str();
    FinalizeLUM();
}

// --- Models over several files ------------------------------------------------

std::string Stub(const std::string& name, const std::string& stored, const std::string& body = "") {
    return "(object Class_Category \"" + name + "\" is_unit TRUE is_loaded FALSE file_name \"" + stored + "\"\n" +
           body + " quid \"QS-" + name + "\")\n";
}
std::string Class(const std::string& name, const std::string& body = "") {
    return "(object Class \"" + name + "\" quid \"QC-" + name + "\"\n" + body + ")\n";
}
std::string Doc(const std::string& stored) {
    return " external_docs (list external_doc_list (object external_doc external_doc_path \"" + stored + "\"))\n";
}
std::string FontDiagram(const std::string& face) {
    return " logical_presentations (list unit_reference_list (object ClassDiagram \"D-" + face +
           "\" items (list diagram_item_list (object NoteView @1 font (object Font size 10 face \"" + face + "\")))))\n";
}
std::string Models(const std::string& elements) { return " logical_models (list unit_reference_list\n" + elements + ")\n"; }
std::string MainFile(const std::string& rootModels, const std::string& face = "") {
    return "(object Vellum version 50)\n(object Design \"Logical View\" is_unit TRUE is_loaded TRUE quid \"QD\"\n" +
           (face.empty() ? "" : " defaults (object defaults defaultFont (object Font size 10 face \"" + face + "\"))\n") +
           " root_category (object Class_Category \"Logical View\" quid \"QR\"\n" + Models(rootModels) + "))\n";
}
std::string UnitFile(const std::string& name, const std::string& body) {
    return "(object Vellum version 50)\n(object Class_Category \"" + name + "\" is_unit TRUE quid \"QU-" + name + "\"\n" +
           body + ")\n";
}

class Loading : public test::LumTest {
protected:
    void SetUp() override {
        LumTest::SetUp();
        resolver.AddPath(L"X", test::Wide(scratch.dir));
        shownFrom = scratch.dir;
    }
    void TearDown() override {
        for (ClumVellumFile* model : models) delete model;
        LumTest::TearDown();
    }
    void Write(const std::string& relative, const std::string& text) { scratch.Write(relative, text); }
    void Load(std::vector<std::string> files, bool subUnits = true) {
        std::vector<WString> names;
        for (const std::string& file : files) names.push_back(test::Wide(scratch.dir / file));
        ClumManager::LoadModels(errors, names, models, units, resolver, subUnits);
    }
    std::vector<ClumVellumEntity*> Roots(std::size_t model = 0) {
        return Children(Children(models.at(model)->design.Get(0), L"root_category").at(0), L"logical_models");
    }
    ClumVellumEntity* Find(const wchar_t* name, std::size_t model = 0) {
        return test::Find(models.at(model), L"Class", name) ? test::Find(models.at(model), L"Class", name)
                                                              : test::Find(models.at(model), L"Class_Category", name);
    }
    // Each object as "name" for packages loaded from their file (with that
    // file relative to the scratch folder), "name?" for stubs left.
    Strings Shown(const std::vector<ClumVellumEntity*>& objects) {
        Strings out;
        for (ClumVellumEntity* object : objects) {
            const auto* unit = test::As<ClumUnitObject>(object);
            std::wstring text = Attr(object, L"name");
            if (unit != nullptr && !unit->file_name.IsEmpty()) {
                std::wstring file = unit->file_name.Get();
                const std::wstring folder = Resolved(shownFrom);
                if (file.compare(0, folder.size(), folder) == 0) file = L"~" + file.substr(folder.size());
                text += (unit->is_loaded.Get() ? L" from " : L" stub ") + file;
            }
            out.push_back(text);
        }
        return out;
    }
    Strings UnitNames() const {
        Strings names;
        for (const ClumUnitObject* unit : units) names.push_back(Attr(unit, L"name"));
        return names;
    }
    static std::wstring DocPath(ClumVellumEntity* owner) { return Attr(Children(owner, L"external_docs").at(0), L"external_doc_path"); }
    static Strings Faces(const ClumVellumFile* file) {
        Strings faces;
        for (int i = 0; i < file->fonts.GetSize(); ++i) faces.push_back(file->fonts.Get(i)->face.Get().c_str());
        return faces;
    }
    test::tScratch scratch;
    fs::path shownFrom;
    std::vector<ClumVellumFile*> models;
    ClumVirtualPathResolver resolver;
};

TEST_F(Loading, SubUnitsLoadBreadthFirstIntoTheStubsPlaceAndTheirFontsJoinTheMainFile) {
    Write("main.mdl", MainFile(Class("K1") + Stub("A", "$X\\sa\\a.cat") + Class("K2") + Stub("B", "$X\\b.cat"), "Main"));
    Write("sa/a.cat", UnitFile("A", Models(Stub("A1", "&\\a1.cat")) + FontDiagram("FA")));
    Write("b.cat", UnitFile("B", FontDiagram("FB") + FontDiagram("FB")) + UnitFile("B2", ""));
    Write("sa/a1.cat", UnitFile("A1", FontDiagram("FA1")));
    Load({"main.mdl"});
    EXPECT_EQ(Messages(), Strings{});
    EXPECT_TRUE(units.empty()) << testing::PrintToString(UnitNames());
    EXPECT_EQ(Faces(models[0]), (Strings{L"Main", L"FA", L"FB", L"FA1"}));
    EXPECT_EQ(Shown(Roots()), (Strings{L"K1", L"K2", L"A from ~\\sa\\a.cat", L"B from ~\\b.cat", L"B2 from ~\\b.cat"}));
    EXPECT_EQ(Shown(Children(Roots()[2], L"logical_models")), Strings{L"A1 from ~\\sa\\a1.cat"});
    EXPECT_EQ(Attr(Roots()[2], L"quid"), L"QU-A") << "the unit comes from its file, not from the stub";
}

TEST_F(Loading, StubsStayWhereNoFileIsFoundAndLoadWhenTheMapIsCorrected) {
    Write("main.mdl", MainFile(Stub("P", "$LATER\\p.cat") + Stub("D", "$X\\pkg") + Stub("Q", "$X\\q.cat") +
                               Class("K", Doc("$X\\doc.txt"))));
    Write("later/p.cat", UnitFile("P", Models(Class("C"))));
    Write("q.cat", UnitFile("Q", ""));
    fs::create_directories(scratch.dir / "pkg");
    Load({"absent.mdl", "main.mdl"}, false);
    EXPECT_EQ(UnitNames(), (Strings{L"P", L"D", L"Q"}));
    EXPECT_EQ(DocPath(Find(L"K")), Resolved(scratch.dir / "doc.txt")) << "documents are resolved all the same";
    units.back()->is_loaded.Set(true);  // dropped unread
    ClumManager::LoadSubUnits(errors, units, resolver);
    EXPECT_EQ(UnitNames(), (Strings{L"P", L"D"}));
    resolver.AddPath(L"later", test::Wide(scratch.dir / "later"));
    ClumManager::LoadSubUnits(errors, units, resolver);
    EXPECT_EQ(UnitNames(), Strings{L"D"});
    EXPECT_EQ(Shown(Roots()), (Strings{L"D stub $X\\pkg", L"Q from $X\\q.cat", L"K", L"P from ~\\later\\p.cat"}));
    EXPECT_NE(Find(L"C"), nullptr);
    EXPECT_EQ(Messages(), Strings{}) << "a file that cannot be opened is not reported";
}

TEST_F(Loading, FilesAlreadyOnTheWayAreNotReadAgainButTwoStubsOfOneFileGetACopyEach) {
    Write("main.mdl", MainFile(Stub("A", "$X\\a.cat") + Stub("P", "$X\\p.cat") + Stub("M", "&\\main.mdl") +
                               Stub("R", "$X\\r.cat") + Stub("R", "$x\\R.CAT")));
    Write("p.cat", UnitFile("P", Models(Stub("S", "&\\.\\p.cat"))));
    Write("a.cat", UnitFile("A", Models(Stub("B", "$X\\b.cat"))));
    Write("b.cat", UnitFile("B", Models(Stub("A", "$X\\sub\\..\\a.cat"))));
    Write("r.cat", UnitFile("R", ""));
    fs::create_directories(scratch.dir / "sub");
    Load({"main.mdl"});
    EXPECT_EQ(UnitNames(), (Strings{L"M", L"S", L"A"}));
    EXPECT_EQ(Shown(Roots()), (Strings{L"M stub &\\main.mdl", L"A from ~\\a.cat", L"P from ~\\p.cat",
                                       L"R from ~\\r.cat", L"R from ~\\R.CAT"}));
    EXPECT_NE(Roots()[3], Roots()[4]);
    ClumVellumEntity* b = Children(Roots()[1], L"logical_models").at(0);
    EXPECT_EQ(Shown({b}), Strings{L"B from ~\\b.cat"});
    EXPECT_EQ(Shown(Children(b, L"logical_models")), Strings{L"A stub $X\\sub\\..\\a.cat"});
}

TEST_F(Loading, UnitsAndStubsTheModelCannotHoldAreDroppedNeverHandedBack) {
    // The root package link holds packages only: the subsystem in the root
    // package's file has no place, nor has the stub inside it; a design in a
    // sub-unit file goes with the file, and so does the stub inside it.
    Write("main.mdl", "(object Design \"Logical View\"\n root_category " + Stub("Logical View", "$X\\root.cat") + ")\n");
    Write("root.cat", "(object SubSystem \"S\" is_unit TRUE\n physical_models (list unit_reference_list\n" +
                          Stub("T", "$X\\t.cat") + "))\n" + UnitFile("Logical View", Models(Stub("P", "$X\\p.cat", Models(Stub("Q", "$X\\gone.cat"))))));
    Write("p.cat", UnitFile("P", "") + "(object Design \"Other\" root_category " + Stub("O", "$X\\o.cat") + ")\n");
    for (const char* name : {"t", "o"}) Write(std::string(name) + ".cat", UnitFile(name, ""));
    Load({"main.mdl"});
    EXPECT_EQ(Messages(), Strings{L"Cannot insert object into the feature 'Design::root_category'"});
    EXPECT_TRUE(units.empty()) << testing::PrintToString(UnitNames());
    EXPECT_EQ(Shown(Children(models[0]->design.Get(0), L"root_category")), Strings{L"Logical View from ~\\root.cat"});
    EXPECT_EQ(Shown(Roots()), Strings{L"P from ~\\p.cat"});
}

TEST_F(Loading, FontsGoToTheMainFileThatHeldTheStubAndStubsListedBeforeLoadFirst) {
    Write("one.mdl", MainFile(Stub("P", "$X\\p.cat"), "One"));
    Write("two.mdl", MainFile(Stub("Q", "$X\\q.cat"), "Two"));
    Write("p.cat", UnitFile("P", FontDiagram("FP")));
    Write("q.cat", UnitFile("Q", FontDiagram("FQ")));
    Load({"one.mdl"}, false);
    Load({"two.mdl"});
    EXPECT_TRUE(units.empty());
    EXPECT_EQ(Faces(models.at(0)), (Strings{L"One", L"FP"}));
    EXPECT_EQ(Faces(models.at(1)), (Strings{L"Two", L"FQ"}));
    // A stub outside any file loads all the same, without fonts.
    std::unique_ptr<ClumClass_Category> owner(test::Make<ClumClass_Category>());
    auto* stub = test::Add(owner->logical_models, test::Make<ClumClass_Category>(L"P"));
    stub->is_unit.Set(true);
    stub->file_name.Set(WString(L"$X\\p.cat"));
    units.push_back(stub);
    ClumManager::LoadSubUnits(errors, units, resolver);
    EXPECT_EQ(Shown(Children(owner.get(), L"logical_models")), Strings{L"P from ~\\p.cat"});
    auto* free = test::Make<ClumClass_Category>(L"Free");  // a stub without a container stays
    free->is_unit.Set(true);
    free->file_name.Set(WString(L"$X\\p.cat"));
    units.assign({free});
    ClumManager::LoadSubUnits(errors, units, resolver);
    EXPECT_EQ(UnitNames(), Strings{L"Free"});
    delete free;
}

TEST_F(Loading, ExternalDocumentsAreResolvedOnceAgainstTheRightFolder) {
    resolver.AddPath(L"notes", L"&\\notes");
    resolver.SetRootDir(L"/elsewhere/left.mdl");  // not built into the map
    Write("main.mdl", MainFile(Class("K", Doc("&\\docs\\k.txt")) + Stub("P", "$X\\sub\\p.cat") +
                               Stub("Q", "$X\\q.cat", Doc("$X\\q.txt"))));
    Write("sub/p.cat", UnitFile("P", Models(Class("C", Doc("$NOTES\\c.txt")))));
    Write("sub/other.mdl", MainFile(Class("L", Doc("$X\\l.txt")) + Class("L2", Doc("&\\l2.txt"))));
    Write("pre.mdl", MainFile(Class("M", Doc("&\\pre.txt"))));
    ClumParser::Parse({test::Wide(scratch.dir / "pre.mdl")}, models, units);  // in the list before the call
    Load({"main.mdl", "sub/other.mdl"});
    EXPECT_EQ(DocPath(Find(L"M")), Resolved(scratch.dir / "pre.txt"));
    EXPECT_EQ(DocPath(Find(L"K", 1)), Resolved(scratch.dir / "docs" / "k.txt"));
    EXPECT_EQ(DocPath(Find(L"Q", 1)), L"$X\\q.txt") << "the walk stays out of stubs";
    EXPECT_EQ(DocPath(Find(L"C", 1)), L"&\\notes\\c.txt") << "resolved while loading, when no root is set";
    EXPECT_EQ(DocPath(Find(L"L", 2)), Resolved(scratch.dir / "l.txt"));
    EXPECT_EQ(DocPath(Find(L"L2", 2)), L"&\\l2.txt") << "the root of a file serves its first resolution only";
}

TEST_F(Loading, DiagnosticsGoToTheCallersListAndStoredNamesMatchFilesInAnyCase) {
    tErrorList host;
    CErrorReporter::GetInstance().SetErrorList(host);
    Write("Model/Main.MDL", MainFile(Stub("P", "$X\\MODEL\\packages\\PEOPLE.cat")));
    Write("Model/Packages/People.CAT", UnitFile("P", Models("(object NoSuchClass \"x\")\n")));
    ClumManager::LoadModels(errors, {test::Wide(scratch.dir) + L"\\model\\main.mdl"}, models, units, resolver, true);
    EXPECT_EQ(Messages(), Strings{L"Could not create class 'NoSuchClass'. No metaclass found with such a name"});
    EXPECT_TRUE(host.empty());
    EXPECT_NE(&CErrorReporter::GetInstance().GetErrorList(), &errors);
    EXPECT_EQ(Shown(Roots()), Strings{L"P from ~\\MODEL\\packages\\PEOPLE.cat"}) << "the path as resolved, not as found";
    WString found;  // found by a name in any case, handed back as it lies, decoded as UTF-8
    scratch.Write("Model/Caf\xC3\xA9.CAT", "");
    EXPECT_TRUE(FindExistingFile(test::Wide(scratch.dir) + L"/model/caf\u00e9.cat", found));
    EXPECT_EQ(std::wstring(found), std::wstring(test::Wide(scratch.dir)) + L"/Model/Caf\u00e9.CAT");
    EXPECT_FALSE(FindExistingFile(test::Wide(scratch.dir / "Model"), found));
    CErrorReporter::GetInstance().SetErrorList(errors);
}

TEST_F(Loading, TheSampleModelLoadsEveryUnitThroughItsPathMap) {
    const fs::path library = fs::path(LUM_SAMPLES_DIR) / "library";
    const fs::path previous = fs::current_path();
    fs::current_path(scratch.dir);  // nothing found beside the sample by chance
    resolver.LoadFromFile(test::Wide(library / "library.map"));
    ClumManager::LoadModels(errors, {test::Wide(library / "library.mdl")}, models, units, resolver, true);
    fs::current_path(previous);
    EXPECT_EQ(Messages(), Strings{});
    EXPECT_TRUE(units.empty()) << testing::PrintToString(UnitNames());
    shownFrom = library;
    EXPECT_EQ(Shown(Roots()), (Strings{L"Catalog", L"Lending", L"People from ~\\people.cat", L"Accounts from ~\\accounts.cat",
                                       L"Reservations from ~\\packages\\reservations\\reservations.cat",
                                       L"Acquisitions from ~\\packages\\acquisitions\\acquisitions.cat"}));
    EXPECT_EQ(Shown(Children(Roots()[4], L"logical_models")).back(),
              L"Notices from ~\\packages\\reservations\\notices\\notices.cat");
    EXPECT_EQ(DocPath(Find(L"Loan")), Resolved(library / "docs" / "loan-rules.txt"));
    EXPECT_EQ(models[0]->fonts.GetSize(), 7);
}

}  // namespace
}  // namespace lum
