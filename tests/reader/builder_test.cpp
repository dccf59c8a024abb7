// Building objects from model text: which object each construct makes, where
// it is attached, which constructs are skipped, how header arguments, fonts
// and unit stubs are handled, and what is reported on the way.

#include <gtest/gtest.h>

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

class BuilderTest : public test::ModelReadingTest {
protected:
    // The objects of a category's logical_models, for texts that hold one
    // top-level category.
    std::vector<ClumVellumEntity*> Models(ClumVellumFile& file) {
        EXPECT_EQ(file.unit.GetSize(), 1);
        if (file.unit.GetSize() != 1) return {};
        return Children(file.unit.Get(0), L"logical_models");
    }
};

// --- Values that become objects ----------------------------------------------

TEST_F(BuilderTest, InitialValuesBecomePrimitivesChosenByTheirText) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "K"
            class_attributes (list class_attribute_list
                (object ClassAttribute "a" initv "TRUE")
                (object ClassAttribute "b" initv false)
                (object ClassAttribute "c" initv "42")
                (object ClassAttribute "d" initv -7)
                (object ClassAttribute "e" initv "3.5")
                (object ClassAttribute "f" initv "abc")
                (object ClassAttribute "g" initv "")))))
)M");
    EXPECT_EQ(Messages(), Strings{});
    const auto attributes = Children(Models(*file).at(0), L"class_attributes");
    ASSERT_EQ(attributes.size(), 7u);
    auto initial = [&](std::size_t i) -> ClumVellumEntity* {
        const auto values = Children(attributes[i], L"initv");
        EXPECT_EQ(values.size(), 1u) << "attribute " << i;
        return values.empty() ? nullptr : values[0];
    };
    ASSERT_NE(As<ClumVellumBool>(initial(0)), nullptr);
    EXPECT_TRUE(As<ClumVellumBool>(initial(0))->value.Get());
    ASSERT_NE(As<ClumVellumBool>(initial(1)), nullptr);
    EXPECT_FALSE(As<ClumVellumBool>(initial(1))->value.Get());
    ASSERT_NE(As<ClumVellumInt>(initial(2)), nullptr);
    EXPECT_EQ(As<ClumVellumInt>(initial(2))->value.Get(), 42);
    ASSERT_NE(As<ClumVellumInt>(initial(3)), nullptr);
    EXPECT_EQ(As<ClumVellumInt>(initial(3))->value.Get(), -7);
    ASSERT_NE(As<ClumVellumFloat>(initial(4)), nullptr);
    EXPECT_EQ(As<ClumVellumFloat>(initial(4))->value.Get(), 3.5f);
    // Names and other words become identifiers here, not strings.
    ASSERT_NE(As<ClumVellumIdent>(initial(5)), nullptr);
    EXPECT_EQ(test::Text(As<ClumVellumIdent>(initial(5))->value.Get()), L"abc");
    EXPECT_TRUE(Children(attributes[6], L"initv").empty());
}

TEST_F(BuilderTest, StereotypesAndPropertyValuesAreIdentifiersWhateverTheirText) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "K"
            stereotype "42"
            attributes (list Attribute_Set
                (object Attribute tool "Docs" name "flag" value TRUE)
                (object Attribute tool "Docs" name "nested"
                    value (list Attribute_Set
                        (object Attribute name "inner" value "x")))
                (object Attribute tool "Docs" name "text" value (value Text "h"))))))
)M");
    EXPECT_EQ(Messages(), Strings{});
    ClumVellumEntity* k = Models(*file).at(0);
    const auto stereotype = Children(k, L"stereotype");
    ASSERT_EQ(stereotype.size(), 1u);
    ASSERT_NE(As<ClumVellumIdent>(stereotype[0]), nullptr);
    EXPECT_EQ(Attr(stereotype[0], L"value"), L"42");

    const auto properties = Children(k, L"attributes");
    ASSERT_EQ(properties.size(), 3u);
    const auto flag = Children(properties[0], L"value");
    ASSERT_EQ(flag.size(), 1u);
    ASSERT_NE(As<ClumVellumIdent>(flag[0]), nullptr);
    EXPECT_EQ(Attr(flag[0], L"value"), L"TRUE");
    const auto nested = Children(properties[1], L"value");
    ASSERT_EQ(nested.size(), 1u);
    ASSERT_NE(As<ClumAttribute>(nested[0]), nullptr);
    EXPECT_EQ(Attr(nested[0], L"name"), L"inner");
    const auto text = Children(properties[2], L"value");
    ASSERT_EQ(text.size(), 1u);
    ASSERT_NE(As<ClumText>(text[0]), nullptr);
    EXPECT_EQ(Attr(text[0], L"value"), L"h");
}

TEST_F(BuilderTest, StringLinksKeepNumbersAsText) {
    auto file = Read(R"M((object Class_Category "C"
    logical_presentations (list unit_reference_list
        (object ClassDiagram "D"
            items (list diagram_item_list
                (object ClassView "Class" "K" @1
                    compartment (object Compartment
                        Parent_View @1
                        compartmentItems "42"
                        compartmentItems (list "Compartment Items" "header, not an item" (1, 2) "3.5")
                        max_width 7))))))
)M");
    EXPECT_EQ(Messages(), Strings{});
    const auto diagrams = Children(file->unit.Get(0), L"logical_presentations");
    ASSERT_EQ(diagrams.size(), 1u);
    const auto views = Children(diagrams[0], L"items");
    ASSERT_EQ(views.size(), 1u);
    const auto compartments = Children(views[0], L"compartment");
    ASSERT_EQ(compartments.size(), 1u);
    // Strings right after the list's class word are its header; a raw
    // construct and a string after it are items.
    const auto items = Children(compartments[0], L"compartmentItems");
    ASSERT_EQ(items.size(), 3u);
    for (ClumVellumEntity* item : items) EXPECT_NE(As<ClumVellumString>(item), nullptr);
    EXPECT_EQ(Attr(items[0], L"value"), L"42");
    EXPECT_EQ(Attr(items[1], L"value"), L"(1, 2)");
    EXPECT_EQ(Attr(items[2], L"value"), L"3.5");
    EXPECT_EQ(Attr(compartments[0], L"max_width"), L"7");
    EXPECT_EQ(Ref(compartments[0], L"Parent_View"), L"@1");
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
                    compartment (object Compartment
                        compartmentItems "abc"
                        compartmentItems "12"))))))
)M");
    EXPECT_EQ(Messages(), (Strings{L"Warning: Error while decoding feature 'Compartment::compartmentItems'. String 'abc' was "
                                   L"decoded as 'VellumString'. This type cannot be converted to 'VellumInt'."}));
    ClumVellumEntity* diagram = Children(file->unit.Get(0), L"logical_presentations").at(0);
    ClumVellumEntity* compartment = Children(Children(diagram, L"items").at(0), L"compartment").at(0);
    const auto items = Children(compartment, L"compartmentItems");
    ASSERT_EQ(items.size(), 1u);
    ASSERT_NE(As<ClumVellumInt>(items[0]), nullptr);
    EXPECT_EQ(As<ClumVellumInt>(items[0])->value.Get(), 12);
}

TEST_F(BuilderTest, LinksWithoutADecoderReportTheText) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "K"
            class_attributes (list class_attribute_list "header" @5
                (object ClassAttribute "a")
                "after the attribute")
            cardinality "n")))
)M");
    // The header strings of the list are not decoded at all; the string
    // after the nested object goes to the list's feature.
    EXPECT_EQ(Messages(),
              (Strings{L"Warning: Cannot decode value 'after the attribute' for link 'Class::class_attributes'",
                       L"Warning: Cannot decode value 'n' for link 'Class::cardinality'"}));
    ClumVellumEntity* k = Models(*file).at(0);
    EXPECT_EQ(Names(Children(k, L"class_attributes")), Strings{L"a"});
    EXPECT_TRUE(Children(k, L"cardinality").empty());
}

// --- Frames --------------------------------------------------------------------

TEST_F(BuilderTest, AListDirectlyInsideAListIsASyntaxError) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "Before")
        (list inner (object Class "Lost") (object Gizmo))
        (object Class "After"))
    global TRUE)
)M");
    EXPECT_EQ(Messages(), Strings{L"Error 4: Vellum syntax error"});
    EXPECT_EQ(Names(Models(*file)), (Strings{L"Before", L"After"}));
    EXPECT_EQ(Attr(file->unit.Get(0), L"global"), L"true");
}

TEST_F(BuilderTest, ConstructsDirectlyInsideAnObjectAreSkippedSilently) {
    auto file = Read(R"M((object Class_Category "C"
    (object Class "Stray" (object Gizmo) documentation "not mine")
    (list loose (object Class "Also stray"))
    (value Text "t")
    (9, 9)
    "bare"
    documentation "mine"
    logical_models (list unit_reference_list (object Class "K")))
)M");
    EXPECT_EQ(Messages(), Strings{});
    EXPECT_EQ(Attr(file->unit.Get(0), L"documentation"), L"mine");
    EXPECT_EQ(Names(Models(*file)), Strings{L"K"});
    EXPECT_EQ(test::CountByClass(file.get()), (std::map<std::wstring, int>{{L"Class", 1}, {L"Class_Category", 1}}));
}

TEST_F(BuilderTest, AnUnknownClassSkipsItsWholeConstruct) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Gizmo "G"
            documentation "x"
            nested (object Class "Inner" name "y")
            items (list l (object Class "Deeper") (1, 2) "s")
            (object Bogus)
            (list l2 (list l3)))
        (object QuidObject "Abstract" @3
            documentation "z")
        (object Class "After"))
    global TRUE)
)M");
    EXPECT_EQ(Messages(), (Strings{L"Warning: Could not create class 'Gizmo'. No metaclass found with such a name",
                                   L"Warning: Could not create class 'QuidObject'. This class is an abstract."}));
    EXPECT_EQ(Names(Models(*file)), Strings{L"After"});
    EXPECT_EQ(Attr(file->unit.Get(0), L"global"), L"true");
}

TEST_F(BuilderTest, PointListsAreReadAsOneText) {
    auto file = Read(R"M((object Class_Category "C"
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
    // The lines inside a point list are counted.
    EXPECT_EQ(Messages(), Strings{L"Error 16: Vellum syntax error near stray"});
    ClumVellumEntity* diagram = Children(file->unit.Get(0), L"logical_presentations").at(0);
    EXPECT_EQ(Attr(diagram, L"title"), L"after");
    const auto views = Children(diagram, L"items");
    ASSERT_EQ(views.size(), 2u);
    ASSERT_NE(As<ClumInheritView>(views[0]), nullptr);
    EXPECT_EQ(As<ClumInheritView>(views[0])->vertices.Get(), (tPointVector{{10, 20}, {30, 40}}));
    EXPECT_EQ(Attr(views[0], L"line_style"), L"3");
    EXPECT_EQ(Attr(views[0], L"quid"), L"@3");
    ASSERT_NE(As<ClumAttachView>(views[1]), nullptr);
    EXPECT_EQ(Attr(views[1], L"line_style"), L"5");
    EXPECT_TRUE(As<ClumAttachView>(views[1])->vertices.Get().empty());
}

TEST_F(BuilderTest, AValueMayStandOnTheNextLine) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "K"
            documentation
                "on the next line"
            language
                "C++"
            abstract
            TRUE
            cardinality

                (value Cardinality "0..1")
            class_attributes
            (list class_attribute_list (object ClassAttribute "a")))))
)M");
    EXPECT_EQ(Messages(), Strings{});
    ClumVellumEntity* k = Models(*file).at(0);
    EXPECT_EQ(Attr(k, L"documentation"), L"on the next line");
    EXPECT_EQ(Attr(k, L"language"), L"C++");
    EXPECT_EQ(Attr(k, L"abstract"), L"true");
    const auto cardinality = Children(k, L"cardinality");
    ASSERT_EQ(cardinality.size(), 1u);
    EXPECT_EQ(Attr(cardinality[0], L"value"), L"0..1");
    EXPECT_EQ(Names(Children(k, L"class_attributes")), Strings{L"a"});
}

TEST_F(BuilderTest, UnknownFeaturesAreIgnoredWithTheirObjects) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "K"
            no_such_value "x"
            no_such_object (object Class "Child" is_unit TRUE)
            no_such_list (list l (object Class "C1") (object Class_Category "Stub" is_unit TRUE file_name "s.cat"))
            no_such_font (object Font size 3)
            documentation "kept")))
)M");
    EXPECT_EQ(Messages(), Strings{});
    EXPECT_TRUE(units.empty());
    EXPECT_EQ(Attr(Models(*file).at(0), L"documentation"), L"kept");
    EXPECT_EQ(test::CountByClass(file.get()), (std::map<std::wstring, int>{{L"Class", 1}, {L"Class_Category", 1}}));
}

TEST_F(BuilderTest, AnObjectTheLinkRefusesIsDeleted) {
    // Deleted, not leaked: the sanitizer build checks that.
    auto file = Read(R"M((object Design "D"
    root_category (object Class "Not a category" documentation "x")
    root_category (object Class_Category "Real")
    root_subsystem (object Class_Category "Stub" is_unit TRUE file_name "s.cat")
    root_usecase_package (object Class_Category "Use cases"
        logical_models (list unit_reference_list
            (object Font size 3)
            (object Class "K"))))
)M");
    EXPECT_EQ(Messages(), (Strings{L"Warning: Cannot insert object into the feature 'Design::root_category'",
                                   L"Warning: Cannot insert object into the feature 'Design::root_subsystem'",
                                   L"Warning: Cannot insert object into the feature 'Class_Category::logical_models'"}));
    EXPECT_TRUE(units.empty());
    ClumDesign* design = file->design.Get(0);
    EXPECT_EQ(Names(Children(design, L"root_category")), Strings{L"Real"});
    EXPECT_TRUE(Children(design, L"root_subsystem").empty());
    EXPECT_EQ(Names(Children(design->root_usecase_package.Get(0), L"logical_models")), Strings{L"K"});
    EXPECT_EQ(file->fonts.GetSize(), 0);
}

// --- Header arguments ----------------------------------------------------------

TEST_F(BuilderTest, HeaderArgumentsGiveNameAndQuid) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "Name" @12)
        (object Class @13)
        (object Class "Only")
        (object Class "Outer" "Inner" @14)
        (object Class "First" "Second")
        (object Class)
        (object Class "Header" name "Feature")))
)M");
    EXPECT_EQ(Messages(), Strings{});
    const auto classes = Models(*file);
    ASSERT_EQ(classes.size(), 7u);
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Name", L"@12"}, {L"", L"@13"}, {L"Only", L""}, {L"Inner", L"@14"},
        {L"First", L"Second"}, {L"", L""}, {L"Feature", L""}};
    for (std::size_t i = 0; i < classes.size(); ++i) {
        EXPECT_EQ(Attr(classes[i], L"name"), expected[i].first) << "class " << i;
        EXPECT_EQ(Attr(classes[i], L"quid"), expected[i].second) << "class " << i;
    }
}

TEST_F(BuilderTest, ValueConstructsTakeTheirHeaderAsValue) {
    auto file = Read(R"M((object Class_Category "C"
    logical_models (list unit_reference_list
        (object Class "K"
            attributes (list Attribute_Set
                (object Attribute name "two" value (value Text "ab" "cd"))
                (object Attribute name "bar" value (value Text
|first line
|second line
                ))
                (object Attribute name "empty" value (value Text)))
            cardinality (value cardinality "n"))
        (object Class "L" cardinality (value CARDINALITY "1..n"))
        (object Class "M" cardinality (value Gizmo "x"))))
)M");
    EXPECT_EQ(Messages(), Strings{L"Warning: Could not create class 'Gizmo'. No metaclass found with such a name"});
    const auto classes = Models(*file);
    ASSERT_EQ(classes.size(), 3u);
    const auto properties = Children(classes[0], L"attributes");
    ASSERT_EQ(properties.size(), 3u);
    EXPECT_EQ(Attr(Children(properties[0], L"value").at(0), L"value"), L"abcd");
    EXPECT_EQ(Attr(Children(properties[1], L"value").at(0), L"value"), L"first line\r\nsecond line");
    EXPECT_EQ(Attr(Children(properties[2], L"value").at(0), L"value"), L"");
    for (std::size_t i = 0; i < 2; ++i) {
        const auto cardinality = Children(classes[i], L"cardinality");
        ASSERT_EQ(cardinality.size(), 1u) << "class " << i;
        EXPECT_NE(As<ClumCardinality>(cardinality[0]), nullptr);
    }
    EXPECT_EQ(Attr(Children(classes[0], L"cardinality").at(0), L"value"), L"n");
    EXPECT_EQ(Attr(Children(classes[1], L"cardinality").at(0), L"value"), L"1..n");
    EXPECT_TRUE(Children(classes[2], L"cardinality").empty());
}

TEST_F(BuilderTest, ModulesAndModuleAndStateViewsReadTheirHeaderByPosition) {
    auto file = Read(R"M((object SubSystem "Component View"
    physical_models (list unit_reference_list
        (object module "Lending" "PackageType" "Body" @9)
        (object module "Short"))
    physical_presentations (list unit_reference_list
        (object Module_Diagram "M"
            items (list diagram_item_list
                (object ModView "Lending" "Spec type" "Spec part" @21)
                (object ModView "Alone")))
        (object State_Diagram "S"
            items (list diagram_item_list
                (object StateView "StartState" "Begin" @20)
                (object StateView "EndState")))))
)M");
    EXPECT_EQ(Messages(), Strings{});
    ASSERT_EQ(file->unit.GetSize(), 1);
    const auto modules = Children(file->unit.Get(0), L"physical_models");
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_EQ(Attr(modules[0], L"name"), L"Lending");
    EXPECT_EQ(Attr(modules[0], L"type"), L"PackageType");
    EXPECT_EQ(Attr(modules[0], L"part"), L"Body");
    EXPECT_EQ(Attr(modules[0], L"quid"), L"");  // a module reads three positions only
    EXPECT_EQ(Attr(modules[1], L"name"), L"Short");
    EXPECT_EQ(Attr(modules[1], L"type"), L"NotAModuleType");

    const auto diagrams = Children(file->unit.Get(0), L"physical_presentations");
    ASSERT_EQ(diagrams.size(), 2u);
    const auto modViews = Children(diagrams[0], L"items");
    ASSERT_EQ(modViews.size(), 2u);
    EXPECT_EQ(Attr(modViews[0], L"name"), L"Lending");
    EXPECT_EQ(Attr(modViews[0], L"type"), L"Spec type");
    EXPECT_EQ(Attr(modViews[0], L"part"), L"Spec part");
    EXPECT_EQ(Attr(modViews[0], L"quid"), L"@21");
    EXPECT_EQ(Attr(modViews[1], L"name"), L"Alone");
    EXPECT_EQ(Attr(modViews[1], L"quid"), L"");

    const auto stateViews = Children(diagrams[1], L"items");
    ASSERT_EQ(stateViews.size(), 2u);
    EXPECT_EQ(Attr(stateViews[0], L"type"), L"StartState");
    EXPECT_EQ(Attr(stateViews[0], L"name"), L"Begin");
    EXPECT_EQ(Attr(stateViews[0], L"quid"), L"@20");
    EXPECT_EQ(Attr(stateViews[1], L"type"), L"EndState");
    EXPECT_EQ(Attr(stateViews[1], L"name"), L"");
}

// --- Fonts ---------------------------------------------------------------------

TEST_F(BuilderTest, EqualFontsBecomeOneObjectAndTheFileHoldsThemInKeyOrder) {
    auto file = Read(R"M((object Design "D"
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
)M");
    EXPECT_EQ(Messages(), Strings{L"Warning: Could not create class 'font'. No metaclass found with such a name"});
    ClumDesign* design = file->design.Get(0);
    const auto views = Children(Children(design->root_category.Get(0), L"logical_presentations").at(0), L"items");
    ASSERT_EQ(views.size(), 7u);
    auto fontOf = [](ClumVellumEntity* view) { return As<ClumDiagramItem>(view)->font.GetTarget(-1); };

    // Fields compare in the order flags, charSet, size, color, face; the two
    // faces compare by identifier, an order of the process.
    ASSERT_EQ(file->fonts.GetSize(), 6);
    EXPECT_EQ(file->fonts.Get(0), fontOf(views[4]));  // size 8, color 255
    const std::set<const ClumVellumEntity*> size10 = {file->fonts.Get(1), file->fonts.Get(2)};
    EXPECT_EQ(size10, (std::set<const ClumVellumEntity*>{fontOf(views[0]), fontOf(views[1])}));
    EXPECT_EQ(file->fonts.Get(3), fontOf(views[5]));  // size 12
    EXPECT_EQ(file->fonts.Get(4), fontOf(views[3]));  // charSet 2
    EXPECT_EQ(file->fonts.Get(5), fontOf(views[2]));  // bold

    EXPECT_EQ(design->defaults.Get(0)->defaultFont.GetTarget(-1), fontOf(views[0]));
    EXPECT_NE(fontOf(views[0]), fontOf(views[1]));
    EXPECT_EQ(fontOf(views[6]), nullptr);
    EXPECT_EQ(test::Text(file->fonts.Get(5)->face.Get()), L"");
    EXPECT_TRUE(file->fonts.Get(5)->bold.Get());
}

TEST_F(BuilderTest, FontsArePooledPerFile) {
    const std::string text = R"M((object Class_Category "C"
    logical_presentations (list unit_reference_list
        (object ClassDiagram "D"
            items (list diagram_item_list
                (object NoteView @1 font (object Font size 9))
                (object NoteView @2 font (object Font size 9))))))
)M";
    auto first = Read(text);
    auto second = Read(text);
    EXPECT_EQ(Messages(), Strings{});
    ASSERT_EQ(first->fonts.GetSize(), 1);
    ASSERT_EQ(second->fonts.GetSize(), 1);
    EXPECT_NE(first->fonts.Get(0), second->fonts.Get(0));
    const auto views = Children(Children(second->unit.Get(0), L"logical_presentations").at(0), L"items");
    for (ClumVellumEntity* view : views) EXPECT_EQ(As<ClumDiagramItem>(view)->font.GetTarget(-1), second->fonts.Get(0));
}

// --- Unit stubs and top-level objects -------------------------------------------

TEST_F(BuilderTest, NestedUnitStubsAreCollectedInOrderOfClosing) {
    auto file = Read(R"M((object Design "D"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list
            (object Class_Category "P" is_unit TRUE is_loaded FALSE file_name "$CURDIR\\p.cat")
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
    for (ClumUnitObject* unit : units) EXPECT_NE(unit->Owner(), nullptr);
    // A stub at top level is the file's unit, not a stub to load.
    EXPECT_EQ(Names({file->unit.Get(0)}), Strings{L"Top"});
    EXPECT_EQ(Attr(units.front(), L"file_name"), L"$CURDIR\\\\p.cat");
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
(object SubSystem "S")
(object Vellum version 51)
)M");
    // The dropped object is found when the file has been read; the line of
    // that message is not pinned.
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors.back().severity, tError::Warning);
    EXPECT_EQ(test::Text(errors.back().message),
              L"Top level object of class 'Class' is not a header, design or unit; it is dropped");
    errors.pop_back();
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
    EXPECT_EQ(Names({file->unit.Get(0)}), Strings{L"S"});
    EXPECT_EQ(file->unit.GetSize(), 1);
    EXPECT_EQ(test::Text(file->fileName.Get()), L"test.mdl");
}

TEST_F(BuilderTest, StubsInsideADroppedObjectAreForgotten) {
    auto file = Read(R"M((object Design "D"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list
            (object Class_Category "Kept" is_unit TRUE file_name "k.cat"))))
(object UseCase "U"
    logical_models (list unit_reference_list
        (object Class_Category "Dropped" is_unit TRUE file_name "d.cat")))
)M");
    EXPECT_EQ(test::MessageTexts(errors),
              Strings{L"Top level object of class 'UseCase' is not a header, design or unit; it is dropped"});
    EXPECT_EQ(Names({units.begin(), units.end()}), Strings{L"Kept"});
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
    // The design stays, without the category that never closed; the stub
    // inside that category went with it.
    ASSERT_EQ(file->design.GetSize(), 1);
    EXPECT_TRUE(Children(file->design.Get(0), L"root_category").empty());
    EXPECT_TRUE(units.empty()) << units.size() << " stub(s) left that no longer exist";
    units.clear();
}

// A host's error list that gives up on one message by throwing.
class tStoppingErrorList : public tErrorList {
public:
    bool OnErrorAdded(const tError& error) override {
        if (error.message.find(L"'Stop'") != std::wstring::npos) throw std::runtime_error("stopped");
        return true;
    }
};

TEST_F(BuilderTest, AFileThatFailsMidWayTakesItsStubsBack) {
    tStoppingErrorList stopping;
    CErrorReporter::GetInstance().SetErrorList(stopping);
    auto earlier = Read(R"M((object Design "E"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list
            (object Class_Category "Earlier" is_unit TRUE file_name "e.cat"))))
)M");
    ASSERT_EQ(units.size(), 1u);

    auto file = std::make_unique<ClumVellumFile>();
    std::istringstream in(R"M((object Design "D"
    root_category (object Class_Category "L"
        logical_models (list unit_reference_list
            (object Class_Category "P" is_unit TRUE file_name "p.cat")
            (object Class_Category "Q" is_unit TRUE file_name "q.cat")
            (object Stop here))))
(object Design "Never read")
)M",
                          std::ios::in | std::ios::binary);
    EXPECT_THROW(ClumParser::Parse(in, L"failing.mdl", *file, units), std::runtime_error);
    EXPECT_EQ(Names({units.begin(), units.end()}), Strings{L"Earlier"});
    EXPECT_EQ(file->design.GetSize(), 0);
    EXPECT_EQ(test::Text(file->fileName.Get()), L"");
    CErrorReporter::GetInstance().SetErrorList(errors);
}

TEST_F(BuilderTest, AFileThatFailsWhileSortingItsTopLevelObjectsFreesEachObjectOnce) {
    // The throw comes from the message about the dropped class, after the
    // design before it went into the file.
    class tStopAtDrop : public tErrorList {
    public:
        bool OnErrorAdded(const tError& error) override {
            if (error.message.find(L"it is dropped") != std::wstring::npos) throw std::runtime_error("stopped");
            return true;
        }
    } stopping;
    CErrorReporter::GetInstance().SetErrorList(stopping);
    auto file = std::make_unique<ClumVellumFile>();
    std::istringstream in("(object Vellum version 50)\n(object Design \"D\")\n(object Class \"X\")\n(object Design \"E\")\n",
                          std::ios::in | std::ios::binary);
    EXPECT_THROW(ClumParser::Parse(in, L"failing.mdl", *file, units), std::runtime_error);
    CErrorReporter::GetInstance().SetErrorList(errors);
    // Whatever the file kept is its own: deleting it must not free an object
    // a second time (the sanitizer build checks that).
    for (int i = 0; i < file->design.GetSize(); ++i) EXPECT_EQ(file->design.Get(i)->Owner(), file.get());
    file.reset();
}

}  // namespace
}  // namespace lum
