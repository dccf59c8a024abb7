// How the view interprets the notation's shapes: association ends, kinds of
// classifiers, types bound by quid or by name, packages across units.

#include "uml/uml_fixture.h"

namespace lum::test {
namespace {

using InterpretationTest = UmlTest;

// A design whose logical view holds `models`, two classes A and B first.
std::string Model(const std::string& models) {
    return "(object Design \"D\" quid \"QD\" root_category (object Class_Category \"Logical View\" quid \"QL\""
           " logical_models (list unit_reference_list"
           " (object Class \"A\" quid \"QA\") (object Class \"B\" quid \"QB\") " +
           models + ")))";
}

TEST_F(InterpretationTest, AssociationEnds) {
    struct tCase {
        const char* role;  // the features of the role at B
        bool navigable;
        uml::Aggregation aggregation;
        const char* multiplicity;
    };
    const tCase cases[] = {
        {"", false, uml::Aggregation::None, ""},
        {"is_navigable TRUE client_cardinality (value Cardinality \"0..n\")", true, uml::Aggregation::None, "0..*"},
        {"is_aggregate TRUE", false, uml::Aggregation::Shared, ""},
        {"is_aggregate TRUE Containment \"By Value\"", false, uml::Aggregation::Composite, ""},
        {"Containment \"By Value\" client_cardinality (value Cardinality \"1\")", false, uml::Aggregation::Composite, "1"},
        {"Containment \"By Reference\" is_aggregate TRUE", false, uml::Aggregation::Shared, ""},
    };
    for (const tCase& c : cases) {
        ReadAlone(Model("(object Association \"R\" quid \"QR\" roles (list role_list"
                        " (object Role \"a\" quid \"Q1\" supplier \"A\" quidu \"QA\")"
                        " (object Role \"b\" quid \"Q2\" supplier \"B\" quidu \"QB\" " +
                        std::string(c.role) + ")))"));
        const auto* end = Named<uml::AssociationEnd>("b");
        ASSERT_NE(end, nullptr) << c.role;
        EXPECT_EQ(end->isNavigable, c.navigable) << c.role;
        EXPECT_EQ(end->aggregation, c.aggregation) << c.role;
        EXPECT_EQ(end->multiplicity.ToString(), c.multiplicity) << c.role;
        EXPECT_EQ(end->type.element, Named<uml::Classifier>("B")) << c.role;
        const auto* other = Named<uml::AssociationEnd>("a");
        EXPECT_FALSE(other->isNavigable);
        EXPECT_EQ(other->aggregation, uml::Aggregation::None);
    }
}

TEST_F(InterpretationTest, KindsOfClassifiers) {
    struct tCase {
        const char* object;
        uml::ClassifierKind kind;
    };
    const tCase cases[] = {
        {"(object Class \"C\" quid \"QC\")", uml::ClassifierKind::Class},
        {"(object Class \"C\" quid \"QC\" stereotype \"Actor\")", uml::ClassifierKind::Actor},
        {"(object Class \"C\" quid \"QC\" stereotype \"actor\")", uml::ClassifierKind::Actor},
        {"(object Class \"C\" quid \"QC\" stereotype \"Interface\")", uml::ClassifierKind::Interface},
        {"(object Class \"C\" quid \"QC\" stereotype \"Data Type\")", uml::ClassifierKind::DataType},
        {"(object Class \"C\" quid \"QC\" stereotype \"enumeration\")", uml::ClassifierKind::Enumeration},
        {"(object Class \"C\" quid \"QC\" stereotype \"entity\")", uml::ClassifierKind::Class},
        {"(object Class_Utility \"C\" quid \"QC\")", uml::ClassifierKind::Utility},
        {"(object Parameterized_Class_Utility \"C\" quid \"QC\")", uml::ClassifierKind::Utility},
        {"(object Metaclass \"C\" quid \"QC\")", uml::ClassifierKind::Metaclass},
    };
    for (const tCase& c : cases) {
        ReadAlone(Model(c.object));
        const auto* classifier = Named<uml::Classifier>("C");
        ASSERT_NE(classifier, nullptr) << c.object;
        EXPECT_EQ(classifier->sort, c.kind) << c.object;
    }
}

// The quid wins over the name; an unbound type keeps its written name.
TEST_F(InterpretationTest, TypesBoundByQuidOrByName) {
    struct tCase {
        const char* features;
        const char* element;  // the class the type is bound to, or "" for none
        const char* name;     // the type's name
    };
    const tCase cases[] = {
        {"type \"B\" quidu \"QB\"", "B", "B"},
        {"type \"B\"", "", "B"},  // a bare name is no name path: the binder leaves it
        {"type \"Logical View::B\"", "B", "Logical View::B"},
        {"type \"Renamed\" quidu \"QB\"", "B", "Renamed"},
        {"type \"A\" quidu \"QB\"", "B", "A"},
        {"type \"String\"", "", "String"},
        {"type \"B[1..n]\" quidu \"QB\"", "B", "B"},
    };
    for (const tCase& c : cases) {
        ReadAlone(Model("(object Class \"C\" quid \"QC\" class_attributes (list class_attribute_list"
                        " (object ClassAttribute \"x\" quid \"QX\" " +
                        std::string(c.features) + ")))"));
        const auto* property = Named<uml::Property>("x");
        ASSERT_NE(property, nullptr) << c.features;
        const uml::Element* expected = *c.element ? Named<uml::Classifier>(c.element) : nullptr;
        EXPECT_EQ(property->type.element, expected) << c.features;
        EXPECT_EQ(ToUtf8(property->type.name.c_str()), c.name) << c.features;
    }
    EXPECT_EQ(Named<uml::Property>("x")->multiplicity.ToString(), "1..*");
}

TEST_F(InterpretationTest, PackagesNestAcrossUnitFiles) {
    const uml::View& view = Load(SampleDir() / "library.mdl", SampleDir() / "library.map");
    // Notices is a unit stored inside the unit of Reservations, in a subdirectory.
    const auto* notices = Named<uml::Package>("Notices");
    ASSERT_NE(notices, nullptr);
    std::vector<std::string> path;
    for (const uml::Element* e = notices; e != nullptr; e = e->owner) path.push_back(ToUtf8(e->name.c_str()));
    EXPECT_EQ(path, (std::vector<std::string>{"Notices", "Reservations", "Logical View", "Logical View"}));
    EXPECT_EQ(view.Models().size(), 1u);
    EXPECT_TRUE(view.Models()[0]->isModel);
    // A class of one unit generalizes a class of another, through a loaded reference.
    const auto* generalization = Named<uml::Classifier>("PickUpReminder")->Members<uml::Relationship>().at(0);
    EXPECT_EQ(generalization->supplier.element, Named<uml::Classifier>("Notice"));
    for (const uml::Element* package : view.All(uml::Kind::Package))
        EXPECT_FALSE(static_cast<const uml::Package*>(package)->unloaded) << ToUtf8(package->name.c_str());
    // The view is built once per model, and moves with it; another model has its own.
    const lum::Model moved = std::move(*model);
    EXPECT_EQ(&uml::View::Of(moved), &view);
    const lum::Model other =
        lum::Model::Load({(SampleDir() / "library.mdl").string()}, {.pathMaps = {(SampleDir() / "library.map").string()}});
    EXPECT_NE(&uml::View::Of(other), &view);
    EXPECT_EQ(uml::View::Of(other).Count(uml::Kind::Package), view.Count(uml::Kind::Package));
}

TEST_F(InterpretationTest, AStubNotLoadedIsAnUnloadedPackage) {
    Read(Model("(object Class_Category \"Far\" is_unit TRUE is_loaded FALSE file_name \"$X\\\\far.cat\" quid \"QF\")"));
    EXPECT_TRUE(Named<uml::Package>("Far")->unloaded);
    EXPECT_FALSE(Named<uml::Package>("Logical View")->unloaded);
}

TEST_F(InterpretationTest, NotesDocumentationAndPropertyValues) {
    const uml::View& view = Load(SampleDir() / "library.mdl", SampleDir() / "library.map");
    const auto* copy = Named<uml::Classifier>("Copy");
    const std::vector<const uml::Note*> notes = view.NotesOf(*copy);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_TRUE(notes[0]->text.starts_with(L"Copies are withdrawn"));
    EXPECT_EQ(copy->Documentation(), L"One physical copy, identified by the barcode on its spine.");
    const std::vector<uml::PropertyValue> values = Named<uml::Classifier>("Book")->PropertyValues();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(ToUtf8(values[1].name.c_str()), "generateAccessors");
    EXPECT_EQ(values[1].value, L"TRUE");
    // The model's own property set, with a nested set.
    const std::vector<uml::PropertyValue> model = view.Models()[0]->PropertyValues();
    ASSERT_EQ(model.size(), 2u);
    EXPECT_EQ(model[1].items.size(), 2u);
    // Each shown element of a diagram keeps its view's geometry.
    const auto* lending = Named<uml::Diagram>("Lending");
    ASSERT_EQ(lending->shown.size(), 5u);
    EXPECT_EQ(lending->shown[0].element, Named<uml::Classifier>("Loan"));
    EXPECT_EQ(lending->shown[0].Where().width, 360);
    EXPECT_EQ(lending->shown[3].element->kind, uml::Kind::AssociationEnd);
    ASSERT_NE(lending->shown[3].Where().points, nullptr);
    EXPECT_EQ(lending->shown[3].Where().points->size(), 2u);
}

}  // namespace
}  // namespace lum::test
