// Building objects from model text: which object each construct makes, where
// it is attached, which constructs are skipped, how header arguments, fonts
// and unit stubs are handled, and what is reported on the way.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <set>
#include <stdexcept>

#include "reader/model_reading.h"

namespace lum {
namespace {

using test::As;
using test::Attr;
using test::Children;
using test::Names;
using test::Shown;
using test::Strings;

using Counts = std::map<std::wstring, int>;

class BuilderTest : public test::ModelReadingTest {
protected:
    // The objects of the first top-level unit's feature `keyword`.
    std::vector<ClumVellumEntity*> TopChildren(ClumVellumFile& file, const wchar_t* keyword) {
        return file.unit.GetSize() == 0 ? std::vector<ClumVellumEntity*>{} : Children(file.unit.Get(0), keyword);
    }
    // The first object at each step of a path of link features.
    ClumVellumEntity* Path(ClumVellumEntity* object, std::initializer_list<const wchar_t*> keywords) {
        for (const wchar_t* keyword : keywords) {
            const auto children = Children(object, keyword);
            if (children.empty()) return ADD_FAILURE() << "nothing in a link", nullptr;
            object = children[0];
        }
        return object;
    }
    // The values of feature `keyword` of every object in `owners`, shown.
    static Strings ShownOfEach(const std::vector<ClumVellumEntity*>& owners, const wchar_t* keyword) {
        Strings out;
        for (ClumVellumEntity* owner : owners) {
            for (const std::wstring& value : Shown(Children(owner, keyword))) out.push_back(value);
        }
        return out;
    }
};

using test::tStoppingErrorList;

TEST_F(BuilderTest, LinkValuesBecomeObjectsChosenByFeatureThenByTarget) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "K"
            stereotype "42"
            cardinality "n"
            attributes (list Attribute_Set
                (object Attribute name "flag" value TRUE)
                (object Attribute name "set" value (list Attribute_Set (object Attribute name "inner")))
                (object Attribute name "text" value (value Text "h")))
            class_attributes (list class_attribute_list "header" @5
                (object ClassAttribute "a" initv "TRUE")
                (object ClassAttribute "b" initv false)
                (object ClassAttribute "c" initv "42")
                (object ClassAttribute "d" initv -7)
                (object ClassAttribute "e" initv "3.5")
                (object ClassAttribute "f" initv "abc")
                (object ClassAttribute "g" initv "")
                "after the attribute")))
    logical_presentations (list unit_reference_list
        (object ClassDiagram "D"
            items (list diagram_item_list
                (object ClassView "Class" "K" @1
                    compartment (object Compartment
                        compartmentItems "42"
                        compartmentItems (list "Compartment Items" "header" (1, 2) "3.5")
                        max_width 7))))))
)M");
    // A link whose target has no decoder reports the text; the strings
    // right after a list's class word are its header and are not decoded.
    EXPECT_EQ(Messages(),
              (Strings{L"Warning: Cannot decode value 'n' for link 'Class::cardinality'",
                       L"Warning: Cannot decode value 'after the attribute' for link 'Class::class_attributes'"}));
    ClumVellumEntity* k = TopChildren(*file, L"logical_models").at(0);
    // Initial values, stereotypes and property values each have a decoder
    // of their own: words become identifiers there, never strings.
    EXPECT_EQ(ShownOfEach(Children(k, L"class_attributes"), L"initv"), (Strings{L"VellumBool true", L"VellumBool false", L"VellumInt 42", L"VellumInt -7",
                                L"VellumFloat 3.500000", L"VellumIdent abc"}));
    EXPECT_EQ(Shown(Children(k, L"stereotype")), Strings{L"VellumIdent 42"});
    EXPECT_EQ(ShownOfEach(Children(k, L"attributes"), L"value"), (Strings{L"VellumIdent TRUE", L"Attribute inner", L"Text h"}));
    EXPECT_TRUE(Children(k, L"cardinality").empty());

    // A link of strings keeps numbers as text; a raw construct in a list is
    // an item like a string.
    ClumVellumEntity* compartment =
        Path(file->unit.Get(0), {L"logical_presentations", L"items", L"compartment"});
    EXPECT_EQ(Shown(Children(compartment, L"compartmentItems")),
              (Strings{L"VellumString 42", L"VellumString (1, 2)", L"VellumString 3.5"}));
    EXPECT_EQ(Attr(compartment, L"max_width"), L"7");
}

// No link of the catalogue holds integers only, so one is made for this test
// by retargeting the compartment's item list for its length.
class IntegerLinkTest : public BuilderTest {
protected:
    void SetUp() override {
        BuilderTest::SetUp();
        for (const ClumMetaFeature* feature : ClumCompartment::StaticGetMetaClass().m_ownFeatures) {
            if (test::Text(feature->GetName()) == L"compartmentItems") m_pItems = const_cast<ClumMetaFeature*>(feature);
        }
        ASSERT_NE(m_pItems, nullptr);
        m_pOldType = m_pItems->m_pType;
        m_pItems->m_pType = ClumVellumInt::m_pMetaClass;
    }
    void TearDown() override {
        if (m_pItems != nullptr) m_pItems->m_pType = m_pOldType;
        BuilderTest::TearDown();
    }
    ClumMetaFeature* m_pItems = nullptr;
    ClumMetaClass* m_pOldType = nullptr;
};

TEST_F(IntegerLinkTest, AWordThatIsNoNumberIsDecodedAsTextAndRefused) {
    auto file = Read(R"M((object Class_Category "C"
    logical_presentations (list unit_reference_list
        (object ClassDiagram "D"
            items (list diagram_item_list
                (object ClassView "Class" "K" @1
                    compartment (object Compartment compartmentItems "abc" compartmentItems "12"))))))
)M");
    EXPECT_EQ(Messages(), (Strings{L"Warning: Error while decoding feature 'Compartment::compartmentItems'. "
                                   L"String 'abc' was decoded as 'VellumString'. "
                                   L"This type cannot be converted to 'VellumInt'."}));
    ClumVellumEntity* compartment = Path(file->unit.Get(0), {L"logical_presentations", L"items", L"compartment"});
    EXPECT_EQ(Shown(Children(compartment, L"compartmentItems")), Strings{L"VellumInt 12"});
}

TEST_F(BuilderTest, MisplacedAndUnknownConstructsAreSkippedWithTheirContents) {
    auto file = Read(R"M((object Class_Category "C"
    (object Class "Directly inside" (object Gizmo) documentation "not mine")
    (list loose (object Class "Also inside"))
    (value Text "t")
    (9, 9)
    "bare"
    documentation "mine"
    logical_models (list unit_reference_list
        (object Class "Before")
        (list inner (object Class "Lost") (object Gizmo))
        (object Gizmo "G"
            documentation "x"
            nested (object Class "Inner")
            items (list l (object Class "Deeper") (1, 2) "s")
            (object Bogus)
            (list l2 (list l3)))
        (object QuidObject "Abstract" @3 documentation "z")
        (object Class "After"
            no_such_value "x"
            no_such_object (object Class "Child")
            no_such_list (list l (object Class "C1") (object Class_Category "Stub" is_unit TRUE file_name "s.cat"))
            no_such_font (object Font size 3)
            documentation "kept"))
    global TRUE)
)M");
    // Constructs directly inside an object and unknown features go without a
    // word; a list in a list is a syntax error; an unknown or abstract class
    // gives only the factory's message, whatever its construct holds.
    EXPECT_EQ(Messages(), (Strings{L"Error 10: Vellum syntax error",
                                   L"Warning: Could not create class 'Gizmo'. No metaclass found with such a name",
                                   L"Warning: Could not create class 'QuidObject'. This class is an abstract."}));
    EXPECT_EQ(Names(TopChildren(*file, L"logical_models")), (Strings{L"Before", L"After"}));
    EXPECT_EQ(Attr(file->unit.Get(0), L"documentation"), L"mine");
    EXPECT_EQ(Attr(file->unit.Get(0), L"global"), L"true");
    EXPECT_EQ(Attr(TopChildren(*file, L"logical_models").at(1), L"documentation"), L"kept");
    EXPECT_TRUE(units.empty());
    EXPECT_EQ(test::CountByClass(file.get()), (Counts{{L"Class", 2}, {L"Class_Category", 1}}));
}

TEST_F(BuilderTest, PointListsAndValuesOnTheNextLine) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "K"
            documentation
                "on the next line"
            abstract
            TRUE
            cardinality

                (value Cardinality "0..1")))
    logical_presentations (list unit_reference_list
        (object ClassDiagram "D"
            items (list diagram_item_list
                (object InheritView "" @3
                    vertices (list Points
                        (10, 20)
                        (30, 40))
                    line_style 3)
                (object AttachView "" @4
                    no_such_points (list Points (1, 2) (3, 4))
                    line_style 5
                    vertices (list Points)))
            title "after")))
stray
)M");
    // A point list is read as one text up to its closing parenthesis, its
    // lines counted.
    EXPECT_EQ(Messages(), Strings{L"Error 25: Vellum syntax error near stray"});
    ClumVellumEntity* k = TopChildren(*file, L"logical_models").at(0);
    EXPECT_EQ(Attr(k, L"documentation"), L"on the next line");
    EXPECT_EQ(Attr(k, L"abstract"), L"true");
    EXPECT_EQ(Shown(Children(k, L"cardinality")), Strings{L"Cardinality 0..1"});

    ClumVellumEntity* diagram = TopChildren(*file, L"logical_presentations").at(0);
    EXPECT_EQ(Attr(diagram, L"title"), L"after");
    const auto views = Children(diagram, L"items");
    ASSERT_EQ(views.size(), 2u);
    EXPECT_EQ(Attr(views[0], L"vertices"), L"(10 , 20)(30 , 40)");
    EXPECT_EQ(Attr(views[0], L"line_style"), L"3");
    EXPECT_EQ(Attr(views[1], L"vertices"), L"");
    EXPECT_EQ(Attr(views[1], L"line_style"), L"5");
}

TEST_F(BuilderTest, AnObjectTheLinkRefusesIsSetAsideWithItsLine) {
    // Kept by the file, not leaked: the sanitizer build checks that.
    auto file = Read(R"M((object Design "D"
    root_category (object Class "Not a category" documentation "x")
    root_category (object Class_Category "Real")
    root_subsystem (object Class_Category "Stub" is_unit TRUE file_name "s.cat")
    root_usecase_package (object Class_Category "Use cases"
        logical_models (list unit_reference_list (object Font size 3) (object Class "K"))))
)M");
    EXPECT_EQ(Messages(),
              (Strings{L"Warning 2: Cannot insert object into the feature 'Design::root_category'",
                       L"Warning 4: Cannot insert object into the feature 'Design::root_subsystem'",
                       L"Warning 6: Cannot insert object into the feature 'Class_Category::logical_models'"}));
    EXPECT_TRUE(units.empty()) << "a stub set aside is not loaded";
    ASSERT_EQ(file->setAside.Objects().size(), 3u);
    EXPECT_EQ(file->setAside.Objects()[2].feature, ClumIdent(L"logical_models"));
    EXPECT_EQ(file->setAside.Objects()[2].position, 0);
    EXPECT_EQ(test::CountByClass(file.get()), (Counts{{L"Class", 1}, {L"Class_Category", 2}, {L"Design", 1}}));
}

TEST_F(BuilderTest, HeaderArgumentsGiveNameAndQuidOrAValue) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "Name" @12)
        (object Class @13)
        (object Class "Only")
        (object Class "Outer" "Inner" @14)
        (object Class "First" "Second")
        (object Class)
        (object Class "Header" name "Feature")
        (object Class "V"
            attributes (list Attribute_Set
                (object Attribute value (value Text "ab" "cd"))
                (object Attribute value (value Text
|first line
|second line
                ))
                (object Attribute value (value Text)))
            cardinality (value cardinality "n"))
        (object Class "W" cardinality (value CARDINALITY "1..n"))
        (object Class "X" cardinality (value Gizmo "x"))))
)M");
    EXPECT_EQ(Messages(), Strings{L"Warning: Could not create class 'Gizmo'. No metaclass found with such a name"});
    const auto classes = TopChildren(*file, L"logical_models");
    ASSERT_EQ(classes.size(), 10u);
    Strings headers;
    for (std::size_t i = 0; i < 7; ++i) headers.push_back(Attr(classes[i], L"name") + L"|" + Attr(classes[i], L"quid"));
    EXPECT_EQ(headers, (Strings{L"Name|@12", L"|@13", L"Only|", L"Inner|@14", L"First|Second", L"|", L"Feature|"}));

    // Value constructs: the arguments joined; the class word "Cardinality"
    // in any case.
    EXPECT_EQ(ShownOfEach(Children(classes[7], L"attributes"), L"value"), (Strings{L"Text abcd", L"Text first line\r\nsecond line", L"Text "}));
    EXPECT_EQ(Shown(Children(classes[7], L"cardinality")), Strings{L"Cardinality n"});
    EXPECT_EQ(Shown(Children(classes[8], L"cardinality")), Strings{L"Cardinality 1..n"});
    EXPECT_TRUE(Children(classes[9], L"cardinality").empty());
}

TEST_F(BuilderTest, ModulesAndModuleAndStateViewsReadTheirHeaderByPosition) {
    auto file = Read(R"M((object SubSystem "Component View"
    physical_models (list unit_reference_list
        (object module "Lending" "PackageType" "Body" @9)
        (object module "Short"))
    physical_presentations (list unit_reference_list
        (object Module_Diagram "M"
            items (list diagram_item_list
                (object ModView "Lending" "Kind type" "Kind part" @21)
                (object ModView "Alone")))
        (object State_Diagram "S"
            items (list diagram_item_list
                (object StateView "StartState" "Begin" @20)
                (object StateView "EndState")))))
)M");
    EXPECT_EQ(Messages(), Strings{});
    auto show = [](const std::vector<ClumVellumEntity*>& objects, std::initializer_list<const wchar_t*> keywords) {
        Strings out;
        for (ClumVellumEntity* o : objects) {
            out.emplace_back();
            for (const wchar_t* keyword : keywords) out.back() += Attr(o, keyword) + L"|";
        }
        return out;
    };
    // A module reads three positions only, so its @ token sets nothing.
    EXPECT_EQ(show(TopChildren(*file, L"physical_models"), {L"name", L"type", L"part", L"quid"}),
              (Strings{L"Lending|PackageType|Body||", L"Short|NotAModuleType|NotAModulePart||"}));
    const auto diagrams = TopChildren(*file, L"physical_presentations");
    ASSERT_EQ(diagrams.size(), 2u);
    EXPECT_EQ(show(Children(diagrams[0], L"items"), {L"name", L"type", L"part", L"quid"}),
              (Strings{L"Lending|Kind type|Kind part|@21|", L"Alone||||"}));
    EXPECT_EQ(show(Children(diagrams[1], L"items"), {L"type", L"name", L"quid"}),
              (Strings{L"StartState|Begin|@20|", L"EndState|||"}));
}

TEST_F(BuilderTest, EqualFontsBecomeOneObjectAndTheFileHoldsThemInKeyOrder) {
    const std::string text = R"M((object Design "D"
    defaults (object defaults
        defaultFont (object Font size 10 face "Sans" bold FALSE strike FALSE))
    root_category (object Class_Category "L"
        logical_presentations (list unit_reference_list
            (object ClassDiagram "Main"
                items (list diagram_item_list
                    (object NoteView @1 font (object Font size 10 face "Sans"))
                    (object NoteView @2 font (object Font size 10 face "Serif"))
                    (object NoteView @3 font (object Font size 8 bold TRUE))
                    (object NoteView @4 font (object Font size 8 charSet 2))
                    (object NoteView @5 font (object Font size 8 color 255))
                    (object NoteView @6 font (object Font size 12))
                    (object NoteView @7 font (object font size 12)))))))
)M";
    auto file = Read(text);
    // The class word "font" in lower case names no class.
    EXPECT_EQ(Messages(), Strings{L"Warning: Could not create class 'font'. No metaclass found with such a name"});
    ClumDesign* design = file->design.Get(0);
    const auto views = Children(Path(design, {L"root_category", L"logical_presentations"}), L"items");
    ASSERT_EQ(views.size(), 7u);
    auto fontOf = [&](std::size_t i) { return As<ClumDiagramItem>(views[i])->font.GetTarget(-1); };

    // Keys compare flags, charSet, size, color, then face; the two faces
    // compare by identifier, an order of the process only.
    ASSERT_EQ(file->fonts.GetSize(), 6);
    EXPECT_EQ(file->fonts.Get(0), fontOf(4));
    EXPECT_EQ((std::set<const ClumVellumEntity*>{file->fonts.Get(1), file->fonts.Get(2)}),
              (std::set<const ClumVellumEntity*>{fontOf(0), fontOf(1)}));
    EXPECT_EQ(file->fonts.Get(3), fontOf(5));
    EXPECT_EQ(file->fonts.Get(4), fontOf(3));
    EXPECT_EQ(file->fonts.Get(5), fontOf(2));
    EXPECT_EQ(design->defaults.Get(0)->defaultFont.GetTarget(-1), fontOf(0));
    EXPECT_EQ(fontOf(6), nullptr);

    // The pool belongs to one file.
    auto second = Read(text);
    ASSERT_EQ(second->fonts.GetSize(), 6);
    EXPECT_NE(second->fonts.Get(0), file->fonts.Get(0));
}

TEST_F(BuilderTest, NestedUnitStubsAreCollectedInOrderOfClosing) {
    auto file = Read(R"M((object Design "D"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list
            (object Class_Category "P" is_unit TRUE is_loaded FALSE file_name "$CURDIR\p.cat")
            (object Class_Category "Loaded" is_unit TRUE is_loaded TRUE file_name "l.cat")
            (object Class_Category "No file" is_unit TRUE is_loaded FALSE)
            (object Class_Category "Not a unit" is_unit FALSE file_name "n.cat")
            (object Class_Category "Q" is_unit true is_loaded false file_name "q.cat"
                logical_models (list unit_reference_list
                    (object Class_Category "Inner" is_unit TRUE file_name "i.cat")))))
    root_subsystem (object SubSystem "S" is_unit TRUE file_name "s.sub"))
(object Class_Category "Top" is_unit TRUE is_loaded FALSE file_name "top.cat"
    logical_models (list unit_reference_list
        (object Class_Category "Under top" is_unit TRUE file_name "u.cat")))
)M");
    EXPECT_EQ(Messages(), Strings{});
    EXPECT_EQ(Names({units.begin(), units.end()}), (Strings{L"P", L"Inner", L"Q", L"S", L"Under top"}));
    EXPECT_EQ(Attr(units.front(), L"file_name"), L"$CURDIR\\p.cat");
    // A stub at top level is the file's unit, not a stub to load.
    ASSERT_EQ(file->unit.GetSize(), 1);
    EXPECT_EQ(Names({file->unit.Get(0)}), Strings{L"Top"});
}

TEST_F(BuilderTest, TopLevelObjectsAreSortedIntoTheFile) {
    auto file = Read(R"M((list unit_reference_list (object Gizmo "Inside"))
(value Text "t")
(1, 2)
"bare"
stray "value"
)
(object Class "Loose" documentation "x")
(object Vellum version 50)
(object Gizmo (object Class "X") name "n")
(object Design "D")
(object UseCase "U"
    logical_models (list unit_reference_list
        (object Class_Category "Dropped" is_unit TRUE file_name "d.cat")))
(object SubSystem "S")
(object Vellum version 51)
)M");
    // Objects the file has no place for are dropped when the file has been
    // read, with the stubs inside them; the line of that message is not
    // pinned.
    const Strings texts = test::MessageTexts(errors);
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_EQ(Strings(texts.end() - 2, texts.end()),
              (Strings{L"Top level object of class 'Class' is not a header, design or unit; it is dropped",
                       L"Top level object of class 'UseCase' is not a header, design or unit; it is dropped"}));
    errors.erase(std::prev(errors.end(), 2), errors.end());
    EXPECT_EQ(Messages(),
              (Strings{L"Warning 1: LUM element 'list' with name 'unit_reference_list' is not a top level object",
                       L"Warning 2: LUM element 'value' with name 'Text' is not a top level object",
                       L"Warning 3: LUM element 'lumElement' with name '(1, 2)' is not a top level object",
                       L"Warning 4: LUM element 'lumElement' with name 'bare' is not a top level object",
                       L"Error 5: Vellum syntax error near stray",
                       L"Error 6: Vellum syntax error near )",
                       L"Warning: Could not create class 'Gizmo'. No metaclass found with such a name"}));
    ASSERT_EQ(file->version.GetSize(), 2);
    EXPECT_EQ(file->version.Get(0)->version.Get(), 50);
    EXPECT_EQ(file->version.Get(1)->version.Get(), 51);
    EXPECT_EQ(Names({file->design.Get(0)}), Strings{L"D"});
    EXPECT_EQ(file->unit.GetSize(), 1);
    EXPECT_EQ(Names({file->unit.Get(0)}), Strings{L"S"});
    EXPECT_TRUE(units.empty());
    EXPECT_EQ(test::Text(file->fileName.Get()), L"test.mdl");
}

TEST_F(BuilderTest, ConstructsLeftOpenAtTheEndAreFreed) {
    auto file = Read(R"M((object Design "D"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list
            (object Class_Category "P" is_unit TRUE file_name "p.cat")
            (object Class "Open"
                cardinality (value Cardinality "1"
                class_attributes (list class_attribute_list
                    (object ClassAttribute "a"
                        font (object Font size 3)M");
    EXPECT_EQ(Messages(), Strings{});
    // The design stays, without the category that never closed; the stub in
    // that category went with it.
    ASSERT_EQ(file->design.GetSize(), 1);
    EXPECT_TRUE(Children(file->design.Get(0), L"root_category").empty());
    EXPECT_TRUE(units.empty()) << units.size() << " stub(s) left that no longer exist";
}

TEST_F(BuilderTest, AFileThatFailsMidWayTakesItsStubsBack) {
    tStoppingErrorList stopping(L"'Stop'");
    CErrorReporter::GetInstance().SetErrorList(stopping);
    auto earlier = Read(R"M((object Design "E"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list (object Class_Category "Earlier" is_unit TRUE file_name "e.cat"))))
)M");
    auto file = std::make_unique<ClumVellumFile>();
    std::istringstream in(R"M((object Design "D"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list
            (object Class_Category "P" is_unit TRUE file_name "p.cat")
            (object Class_Category "Q" is_unit TRUE file_name "q.cat")
            (object Stop))))
(object Design "Never read")
)M",
                          std::ios::in | std::ios::binary);
    EXPECT_THROW(ClumParser::Parse(in, L"failing.mdl", *file, units), std::runtime_error);
    CErrorReporter::GetInstance().SetErrorList(errors);
    EXPECT_EQ(Names({units.begin(), units.end()}), Strings{L"Earlier"});
    EXPECT_EQ(file->design.GetSize(), 0);
}

TEST_F(BuilderTest, AFileThatFailsWhileSortingItsTopLevelObjectsFreesEachObjectOnce) {
    // The throw comes from the message about the dropped class, after the
    // design before it went into the file. Whatever the file kept must be its
    // own, and deleting it must free nothing twice; that runs in a child
    // process, so that a crash fails this test alone.
    auto readAndDelete = [this] {
        tStoppingErrorList stopping(L"it is dropped");
        CErrorReporter::GetInstance().SetErrorList(stopping);
        auto file = std::make_unique<ClumVellumFile>();
        std::istringstream in("(object Design \"D\")\n(object Class \"X\")\n(object Design \"E\")\n",
                              std::ios::in | std::ios::binary);
        bool thrown = false;
        try {
            ClumParser::Parse(in, L"failing.mdl", *file, units);
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

}  // namespace
}  // namespace lum
