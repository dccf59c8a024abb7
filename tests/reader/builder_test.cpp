// Building objects from model text: which object each construct makes, where
// it goes, what is skipped and reported, header arguments, unit stubs, files
// that fail midway, and the bundled sample read from its files.
#include <map>

#include "support/lum_test.h"

namespace lum {
namespace {
using test::Attr;
using test::Children;
using test::Shown;
using test::Strings;
using test::Text;
using Builder = test::LumTest;

const test::fs::path kLibrary = test::fs::path(LUM_SAMPLES_DIR) / "library";

Strings Names(const std::vector<ClumVellumEntity*>& objects) {
    Strings names;
    for (const ClumVellumEntity* object : objects) names.push_back(Attr(object, L"name"));
    return names;
}
Strings Names(const std::list<ClumUnitObject*>& units) { return Names(std::vector<ClumVellumEntity*>(units.begin(), units.end())); }

// Each object of `owners` as its keywords' values joined by "|".
Strings Show(const std::vector<ClumVellumEntity*>& owners, std::initializer_list<const wchar_t*> keywords) {
    Strings out;
    for (ClumVellumEntity* owner : owners) {
        out.emplace_back();
        for (const wchar_t* keyword : keywords) out.back() += Attr(owner, keyword) + L"|";
    }
    return out;
}

std::map<std::wstring, int> CountByClass(ClumVellumEntity* root) {
    std::map<std::wstring, int> counts;
    test::ForEachObject(root, [&](ClumVellumEntity* o) { counts[Text(o->GetMetaClass().GetName())] += o != root; });
    counts.erase(Text(root->GetMetaClass().GetName()));
    return counts;
}

// A host's error list that gives up by throwing at a message holding `trigger`.
class tStopping : public tErrorList {
public:
    explicit tStopping(const wchar_t* trigger) : m_trigger(trigger) {}
    bool OnErrorAdded(const tError& error) override {
        if (error.message.find(m_trigger) != std::wstring::npos) throw std::runtime_error("stopped");
        return true;
    }

private:
    const wchar_t* m_trigger;
};

TEST_F(Builder, ConstructsBecomeObjectsInTheirFeaturesAndTheRestIsSkippedOrReported) {
    auto file = Read(R"M((object Class_Category "C"
    (object Class "Directly inside" (object Gizmo))
    (list loose (object Class "Also inside"))
    documentation "mine"
    logical_models (list unit_reference_list
        (object Class "K" @12
            stereotype "42"
            cardinality "n"
            abstract
            TRUE
            attributes (list Attribute_Set
                (object Attribute name "flag" value TRUE)
                (object Attribute name "text" value (value Text "ab" "cd")))
            class_attributes (list class_attribute_list "header" @5
                (object ClassAttribute "a" initv "TRUE")
                (object ClassAttribute "b" initv "3.5")))
        (list inner (object Class "Lost"))
        (object Gizmo "G" nested (object Class "Inner"))
        (object QuidObject "Abstract")
        (object Class @13 cardinality (value CARDINALITY "1..n"))
        (object Class "Outer" "Inner" @14 no_such (object Class "Child") documentation "kept")
        (object Class "First" "Second"))
    logical_presentations (list unit_reference_list
        (object ClassDiagram "D"
            items (list diagram_item_list
                (object InheritView "" @3
                    vertices (list Points
                        (10, 20)
                        (30, 40))
                    line_style 3)
                (object ClassView "Class" "K" @1
                    compartment (object Compartment compartmentItems (list "Items" "header" (1, 2) "3.5")))))))
stray
)M");
    EXPECT_EQ(Lines(), (Strings{L"Warning: Cannot decode value 'n' for link 'Class::cardinality'",
                                L"Error 17: Vellum syntax error",
                                L"Warning: Could not create class 'Gizmo'. No metaclass found with such a name",
                                L"Warning: Could not create class 'QuidObject'. This class is an abstract.",
                                L"Error 34: Vellum syntax error near stray"}));
    const auto classes = Children(file->unit.Get(0), L"logical_models");
    EXPECT_EQ(Show(classes, {L"name", L"quid", L"abstract", L"documentation"}),
              (Strings{L"K|@12|true||", L"|@13|false||", L"Inner|@14|false|kept|", L"First|Second|false||"}));
    EXPECT_EQ(Attr(file->unit.Get(0), L"documentation"), L"mine");
    EXPECT_EQ(Shown(Children(classes[0], L"stereotype")), Strings{L"VellumIdent 42"});
    Strings values;
    for (const auto& [list, keyword] : {std::pair{L"attributes", L"value"}, std::pair{L"class_attributes", L"initv"}}) {
        for (ClumVellumEntity* owner : Children(classes[0], list)) {
            for (const std::wstring& value : Shown(Children(owner, keyword))) values.push_back(value);
        }
    }
    EXPECT_EQ(values, (Strings{L"VellumIdent TRUE", L"Text abcd", L"VellumBool true", L"VellumFloat 3.500000"}));
    EXPECT_EQ(Shown(Children(classes[1], L"cardinality")), Strings{L"Cardinality 1..n"});
    const auto views = Children(Children(file->unit.Get(0), L"logical_presentations").at(0), L"items");
    EXPECT_EQ(Show(views, {L"vertices", L"line_style", L"quid"}), (Strings{L"(10 , 20)(30 , 40)|3|@3|", L"<none>|<none>|@1|"}));
    EXPECT_EQ(Shown(Children(Children(views[1], L"compartment").at(0), L"compartmentItems")),
              (Strings{L"VellumString (1, 2)", L"VellumString 3.5"}));
    EXPECT_EQ(CountByClass(file.get()).at(L"Class"), 4);
}

TEST_F(Builder, ObjectsTheLinkRefusesAreSetAsideOnTheFileAndTheirStubsNotLoaded) {
    auto file = Read(R"M((object Design "D"
    root_category (object Class "Not a category")
    root_category (object Class_Category "Real")
    root_subsystem (object Class_Category "Stub" is_unit TRUE file_name "s.cat"))
)M");
    EXPECT_EQ(Messages(), (Strings{L"Cannot insert object into the feature 'Design::root_category'",
                                   L"Cannot insert object into the feature 'Design::root_subsystem'"}));
    EXPECT_TRUE(units.empty());
    ASSERT_EQ(file->setAside.Objects().size(), 2u);
    EXPECT_EQ(file->setAside.Objects()[1].feature, ClumIdent(L"root_subsystem"));
    EXPECT_EQ(CountByClass(file.get()), (std::map<std::wstring, int>{{L"Class_Category", 1}, {L"Design", 1}}));
}

TEST_F(Builder, UnitStubsAreCollectedInOrderOfClosingAndTopLevelObjectsSortedIntoTheFile) {
    auto file = Read(R"M((object Design "D"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list
            (object Class_Category "P" is_unit TRUE is_loaded FALSE file_name "$CURDIR\p.cat")
            (object Class_Category "Loaded" is_unit TRUE is_loaded TRUE file_name "l.cat")
            (object Class_Category "No file" is_unit TRUE)
            (object Class_Category "Not a unit" is_unit FALSE file_name "n.cat")
            (object Class_Category "Q" is_unit true file_name "q.cat"
                logical_models (list unit_reference_list
                    (object Class_Category "Inner" is_unit TRUE file_name "i.cat")))))
    root_subsystem (object SubSystem "S" is_unit TRUE file_name "s.sub"))
(object Class_Category "Top" is_unit TRUE file_name "top.cat"
    logical_models (list unit_reference_list (object Class_Category "Under top" is_unit TRUE file_name "u.cat")))
(list unit_reference_list (object Gizmo "Inside"))
(value Text "t")
"bare"
)
(object Vellum version 50)
(object UseCase "U"
    logical_models (list unit_reference_list (object Class_Category "Dropped" is_unit TRUE file_name "d.cat")))
(object Vellum version 51)
)M");
    EXPECT_EQ(Lines(), (Strings{L"Warning 14: LUM element 'list' with name 'unit_reference_list' is not a top level object",
                                L"Warning 15: LUM element 'value' with name 'Text' is not a top level object",
                                L"Warning 16: LUM element 'lumElement' with name 'bare' is not a top level object",
                                L"Error 17: Vellum syntax error near )",
                                L"Warning: Top level object of class 'UseCase' is not a header, design or unit; it is dropped"}));
    EXPECT_EQ(Names(units), (Strings{L"P", L"Inner", L"Q", L"S", L"Under top"}));
    EXPECT_EQ(Names(std::vector<ClumVellumEntity*>{file->unit.Get(0)}), Strings{L"Top"});  // a stub at top level is the file's unit
    EXPECT_EQ(file->version.GetSize(), 2);
    EXPECT_EQ(file->version.Get(1)->version.Get(), 51);
    EXPECT_EQ(Text(file->fileName.Get()), L"test.mdl");
}

TEST_F(Builder, ConstructsLeftOpenOrAFileThatFailsMidwayTakeTheirStubsAlong) {
    auto open = Read(R"M((object Design "D"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list
            (object Class_Category "P" is_unit TRUE file_name "p.cat")
            (object Class "Open" font (object Font size 3)M");
    ASSERT_EQ(open->design.GetSize(), 1);
    EXPECT_TRUE(Children(open->design.Get(0), L"root_category").empty());
    EXPECT_TRUE(units.empty()) << units.size() << " stub(s) left that no longer exist";
    tStopping stopping(L"'Stop'");
    CErrorReporter::GetInstance().SetErrorList(stopping);
    auto earlier = Read("(object Class_Category \"E\" is_unit TRUE\n logical_models (list l (object Class_Category "
                        "\"Earlier\" is_unit TRUE file_name \"e.cat\")))");
    auto failing = std::make_unique<ClumVellumFile>();
    std::istringstream in("(object Design \"D\" root_category (object Class_Category \"L\" logical_models (list l\n"
                          "(object Class_Category \"P\" is_unit TRUE file_name \"p.cat\") (object Stop))))",
                          std::ios::in | std::ios::binary);
    EXPECT_THROW(ClumParser::Parse(in, L"failing.mdl", *failing, units), std::runtime_error);
    CErrorReporter::GetInstance().SetErrorList(errors);
    EXPECT_EQ(Names(units), Strings{L"Earlier"});
    EXPECT_EQ(failing->design.GetSize(), 0);
    // A throw while sorting the top-level objects: what the file kept is its
    // own and freed once (in a child process, so that a crash fails this test alone).
    auto readAndDelete = [this] {
        tStopping dropped(L"it is dropped");
        CErrorReporter::GetInstance().SetErrorList(dropped);
        auto file = std::make_unique<ClumVellumFile>();
        std::istringstream text("(object Design \"D\")\n(object Class \"X\")\n(object Design \"E\")\n");
        bool thrown = false;
        try {
            ClumParser::Parse(text, L"failing.mdl", *file, units);
        } catch (const std::runtime_error&) {
            thrown = true;
        }
        for (int i = 0; i < file->design.GetSize(); ++i) {
            if (file->design.Get(i)->Owner() != file.get()) std::exit(2);
        }
        file.reset();
        std::exit(thrown ? 0 : 3);
    };
    EXPECT_EXIT(readAndDelete(), ::testing::ExitedWithCode(0), "");
}

TEST_F(Builder, FilesAreReadByNameKeepingThoseWithADesignOrAUnit) {
    test::tScratch scratch;
    const std::vector<WString> names = {
        test::Wide(scratch.Write("header.mdl", "(object Vellum version 50)\n")),
        test::Wide(scratch.dir / "missing.mdl"),
        test::Wide(scratch.Write("model.mdl", "(object Design \"D\" root_category (object Class_Category \"L\"\n"
                                              " logical_models (list l (object Class_Category \"Sub\" is_unit TRUE file_name \"s.cat\"))))")),
        test::Wide(scratch.Write("unit.cat", "(object Class_Category \"U\" is_unit TRUE)")),
        test::Wide(scratch.dir),
    };
    std::vector<ClumVellumFile*> files;
    ClumParser::Parse(names, files, units);
    std::vector<std::unique_ptr<ClumVellumFile>> owned(files.begin(), files.end());
    EXPECT_EQ(Messages(), Strings{});
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(Text(files[0]->fileName.Get()), Text(names[2]));
    EXPECT_EQ(Names(std::vector<ClumVellumEntity*>{files[1]->unit.Get(0)}), Strings{L"U"});
    EXPECT_EQ(Names(units), Strings{L"Sub"});
    ClumVellumFile file;
    EXPECT_THROW(ClumParser::Parse(names[1], file, units), tCannotOpenFileException);
}

// Equal fonts are kept once per file and go into its font list in an order
// of their own: by content, whichever face the process met first.
TEST_F(Builder, AFilesFontsAreSharedAndOrderedByContent) {
    const ClumIdent metFirst(L"Zz face"), metLater(L"Aa face");
    auto file = Read(R"M((object Design "D"
    defaultFont (object Font face "Zz face")
    root_category (object Class_Category "L"
        logical_presentations (list unit_presentation_list
            (object ClassDiagram "Main"
                items (list diagram_item_list
                    (object NoteView @1 font (object Font face "Aa face"))
                    (object NoteView @2 font (object Font face "Zz face"))))))))M");
    EXPECT_EQ(Messages(), Strings{});
    ASSERT_EQ(file->fonts.GetSize(), 2);
    EXPECT_EQ(Attr(file->fonts.GetAt(0), L"face"), metLater.c_str());
    EXPECT_EQ(Attr(file->fonts.GetAt(1), L"face"), metFirst.c_str());
}

TEST_F(Builder, TheSampleModelIsReadWholeFromItsFiles) {
    auto model = std::make_unique<ClumVellumFile>();
    ClumParser::Parse(test::Wide(kLibrary / "library.mdl"), *model, units);
    EXPECT_EQ(Messages(), Strings{});
    const std::map<std::wstring, int> counts = CountByClass(model.get());
    EXPECT_EQ(counts.size(), 49u);
    EXPECT_EQ(counts.at(L"ItemLabel"), 13);
    ClumDesign* design = model->design.Get(0);
    EXPECT_EQ(Attr(test::Find(design, L"Class_Category", L"Catalog"), L"documentation"),
              L"Everything the library owns and lends: titles and their physical copies.\r\n"
              L"Titles come in many languages \u2014 \u00abLe Petit Prince\u00bb, \u00abDer Zauberberg\u00bb,\r\n"
              L"or the \u00c6r\u00f8 local-history series \u2014 so every text is kept as entered.");
    ClumVellumEntity* inherit = test::Find(design, L"InheritView");
    EXPECT_EQ(Attr(inherit, L"quid") + L" " + test::Ref(inherit, L"client") + L" " + test::Ref(inherit, L"supplier"),
              L"@13 @11 @10");
    EXPECT_EQ(Attr(test::Find(design, L"StateView", L"$UNNAMED$3"), L"type"), L"StartState");
    EXPECT_EQ(model->fonts.GetSize(), 3);
    EXPECT_EQ(Names(units), (Strings{L"People", L"Accounts", L"Reservations", L"Acquisitions"}));
    // A module view's header holds name, type, part and its @ label.
    ClumVellumFile kinds;
    ClumParser::Parse(test::Wide(kLibrary.parent_path() / "diagrams" / "diagrams.mdl"), kinds, units);
    ClumVellumEntity* module = test::Find(kinds.design.Get(0), L"ModView", L"Component View::desk_ui");
    EXPECT_EQ(Attr(module, L"type") + L" " + Attr(module, L"part") + L" " + Attr(module, L"quid"),
              L"NotAModuleType Main @700");
}

}  // namespace
}  // namespace lum
