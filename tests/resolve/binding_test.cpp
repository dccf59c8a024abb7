// Which object a reference binds to: companion quids, absolute name paths,
// labels, lists, and the objects a reference may never bind to.

#include "resolve/resolve_fixture.h"

namespace lum::test {
namespace {

using BindingTest = ResolveTest;

TEST_F(BindingTest, CompanionQuidWinsOverTheWrittenName) {
    ClumClass_Category* root = NewModel();
    ClumClass* point = Class(root, L"Point", L"Q-POINT");
    ClumClass* line = Class(root, L"Line", L"Q-LINE");
    auto* ends = Add(root->logical_models, Make<ClumAssociation>(L"Ends"));
    // A role lists its supplier before its quidu; quid references are bound first all the same.
    ClumRole* role = Role(ends, L"to", L"Logical View::Line", L"Q-POINT");
    // A companion that does not bind leaves the written name to decide.
    ClumRole* fallback = Role(ends, L"from", L"Logical View::Line", L"Q-NONE");

    // Transitions pair supplier with supplier_quidu and client with client_quidu, not with their own quidu.
    auto* machine = Add(point->statemachine, Make<ClumState_Machine>(L"Life"));
    auto* idle = Add(machine->states, Make<ClumState>(L"Idle", L"Q-IDLE"));
    auto* busy = Add(machine->states, Make<ClumState>(L"Busy", L"Q-BUSY"));
    auto* done = Add(machine->states, Make<ClumState>(L"Done", L"Q-DONE"));
    auto* step = Add(idle->transitions, Make<ClumState_Transition>(L"", L"Q-STEP"));
    Write(step->quidu, L"Q-IDLE");
    Write(step->supplier, L"Nowhere");
    Write(step->supplier_quidu, L"Q-BUSY");
    Write(step->client, L"Nowhere");
    Write(step->client_quidu, L"Q-DONE");

    EXPECT_EQ(Bind(root), References{&fallback->quidu});
    EXPECT_EQ(role->supplier.GetTarget(-1), point);
    EXPECT_EQ(fallback->supplier.GetTarget(-1), line);
    EXPECT_EQ(step->supplier.GetTarget(-1), busy);
    EXPECT_EQ(step->client.GetTarget(-1), done);
    EXPECT_EQ(Messages(), Strings{});
}

TEST_F(BindingTest, NamePathsAreAbsolute) {
    ClumClass_Category* geometry = NewModel(L"Geometry");
    ClumClass* outer = Class(geometry, L"Point");
    ClumClass_Category* drawing = Category(geometry, L"Drawing");
    ClumClass* inner = Class(drawing, L"Point");
    ClumClass* shape = Class(drawing, L"Shape");
    auto* bare = Attribute(shape, L"Point");
    auto* relative = Attribute(shape, L"Drawing::Point");
    auto* viaDesign = Attribute(shape, L"Model::Geometry::Point");
    auto* top = Attribute(shape, L"Geometry::Point");
    auto* nested = Attribute(shape, L"Geometry:Drawing::Point");

    EXPECT_EQ(Sorted(Bind(geometry)), Sorted({&bare->type, &relative->type, &viaDesign->type}));
    EXPECT_EQ(top->type.GetTarget(-1), outer);
    EXPECT_EQ(nested->type.GetTarget(-1), inner);
}

TEST_F(BindingTest, BoundValuesAreNeverRebound) {
    ClumClass_Category* root = NewModel();
    ClumClass* chosen = Class(root, L"Chosen");
    Class(root, L"Written");
    ClumClass* user = Class(root, L"User");
    auto* preset = Attribute(user, L"Logical View::Written");
    preset->type.GetObjectRef(-1)->BindTo(chosen);
    auto* fromObject = Add(user->class_attributes, Make<ClumClassAttribute>(L"b"));
    fromObject->type.SetTarget(user);

    EXPECT_EQ(Bind(root), References{});
    EXPECT_EQ(preset->type.GetTarget(-1), chosen);
    EXPECT_EQ(resolver.GetReferringEntities(chosen), References{&preset->type});
    EXPECT_EQ(resolver.GetReferringEntities(user), References{&fromObject->type});
}

TEST_F(BindingTest, ListsBindValueByValueAndCountOnlyWhenComplete) {
    ClumClass_Category* root = NewModel();
    ClumClass* overflow = Class(root, L"Overflow");
    ClumClass* buffer = Class(root, L"Buffer");
    auto* put = Add(buffer->operations, Make<ClumOperation>(L"put"));
    Write(put->exceptions, L"Logical View::Overflow, Missing, Logical View::Overflow");
    auto* get = Add(buffer->operations, Make<ClumOperation>(L"get"));
    Write(get->exceptions, L"Logical View::Overflow, Logical View::Overflow");

    EXPECT_EQ(Bind(root), References{&put->exceptions});
    EXPECT_EQ(put->exceptions.GetTarget(0), overflow);
    EXPECT_EQ(put->exceptions.GetTarget(1), nullptr);
    EXPECT_EQ(put->exceptions.GetTarget(2), overflow);
    EXPECT_EQ(resolver.GetReferringEntities(overflow), (References{&get->exceptions, &get->exceptions}));
}

TEST_F(BindingTest, OnlyDiagramItemsBindToViewObjects) {
    ClumClass_Category* root = NewModel();
    ClumClass* point = Class(root, L"Point", L"Q-POINT");
    Add(root->logical_presentations, Make<ClumClassDiagram>(L"Point"));
    Add(root->logical_presentations, Make<ClumClassDiagram>(L"Sketch"));
    // A view named after what it shows shares the path of the class.
    ClumClassView* pointView = View(root, L"Logical View::Point", L"Q-VIEW", L"Q-POINT");
    ClumClassView* noteView = View(root, L"", L"Q-NOTE", L"Q-VIEW");
    ClumClassView* sketchView = View(root, L"", L"Q-SKETCH");
    Write(sketchView->element, L"Logical View::Sketch");
    auto* ends = Add(root->logical_models, Make<ClumAssociation>(L"Ends"));
    ClumRole* toView = Role(ends, L"to", L"", L"Q-VIEW");
    ClumClass* user = Class(root, L"User");
    auto* byPath = Attribute(user, L"Logical View::Point");
    auto* toDiagram = Attribute(user, L"Logical View::Sketch");

    EXPECT_EQ(Sorted(Bind(root)), Sorted({&toView->quidu, &toDiagram->type}));
    EXPECT_EQ(byPath->type.GetTarget(-1), point);
    EXPECT_EQ(pointView->quidu.GetTarget(-1), point);
    EXPECT_EQ(noteView->quidu.GetTarget(-1), pointView);
    ASSERT_NE(sketchView->element.GetTarget(-1), nullptr);
    EXPECT_EQ(sketchView->element.GetTarget(-1)->GetMetaClass(), ClumClassDiagram::StaticGetMetaClass());
    EXPECT_EQ(Messages(), Strings{});
}

TEST_F(BindingTest, RoleSuppliersNeverBindToAssociations) {
    ClumClass_Category* root = NewModel();
    auto* link = Add(root->logical_models, Make<ClumAssociation>(L"Link"));
    auto* ends = Add(root->logical_models, Make<ClumAssociation>(L"Ends"));
    ClumRole* role = Role(ends, L"to", L"Logical View::Link");
    ClumClass* user = Class(root, L"User");
    auto* inherits = Add(user->superclasses, Make<ClumInheritance_Relationship>());
    Write(inherits->supplier, L"Logical View::Link");
    EXPECT_EQ(Bind(root), References{&role->supplier});
    EXPECT_EQ(inherits->supplier.GetTarget(-1), link);

    // Next to an association of the same path, a class is the only candidate, not a tie.
    ClumClass_Category* second = NewModel(L"Second");
    Add(second->logical_models, Make<ClumAssociation>(L"Link"));
    ClumClass* linkClass = Class(second, L"Link");
    ClumRole* toClass = Role(Add(second->logical_models, Make<ClumAssociation>(L"Ends")), L"to", L"Second::Link");
    EXPECT_EQ(Bind(second), References{});
    EXPECT_EQ(toClass->supplier.GetTarget(-1), linkClass);
    EXPECT_EQ(Messages(), Strings{});
}

// Labels are looked up in the innermost category of the referring object,
// whatever lies nearer elsewhere; when that fails the label is taken as a quid.
TEST_F(BindingTest, LabelsBindWithinTheInnermostCategory) {
    ClumClass_Category* root = NewModel();
    Class(root, L"Far", L"@12");
    ClumClass* machineOwner = Class(root, L"Machine");
    auto* idle = Add(Add(machineOwner->statemachine, Make<ClumState_Machine>(L"Life"))->states,
                     Make<ClumState>(L"Idle", L"@14"));
    ClumClass_Category* inner = Category(root, L"Inner");
    ClumClass* holder = Class(inner, L"Holder");
    auto* deep = Add(holder->nestedClasses, Make<ClumClass>(L"Deep"));
    auto* labelled = Add(deep->nestedClasses, Make<ClumClass>(L"Deeper", L"@12"));
    Add(deep->nestedClasses, Make<ClumClass>(L"Twin", L"@13"));
    ClumClass* nearTwin = Class(inner, L"NearTwin", L"@13");
    Class(inner, L"NotAState", L"@14");
    ClumClass* user = Class(inner, L"User");
    auto* single = Attribute(user, L"", L"@12");
    auto* doubled = Attribute(user, L"", L"@13");
    auto* state = Add(Add(user->statemachine, Make<ClumState_Machine>(L"Own"))->states, Make<ClumState>(L"S"));
    auto* transition = Add(state->transitions, Make<ClumState_Transition>());
    Write(transition->supplier, L"@14");

    EXPECT_EQ(Bind(root), References{});
    EXPECT_EQ(single->quidu.GetTarget(-1), labelled);   // "Far" is nearer but outside the category
    EXPECT_EQ(doubled->quidu.GetTarget(-1), nearTwin);  // two in the category: the nearest by quid
    EXPECT_EQ(transition->supplier.GetTarget(-1), idle);  // the one in the category is no state
    EXPECT_EQ(Messages(), Strings{});
}

// Only a plainly named category keeps its labels: those inside a category
// without a name, or with a qualified one, are indexed in the context around
// it, while references inside it still look there first. Both then find the
// label through the quid, the nearest object winning.
TEST_F(BindingTest, CategoriesWithoutAPlainNameKeepNoLabels) {
    for (const wchar_t* name : {L"", L"Logical View::Elsewhere"}) {
        resolver.ClearCaches();
        ClumClass_Category* root = NewModel();
        auto* deep = Add(Class(root, L"Holder")->nestedClasses, Make<ClumClass>(L"Deep"));
        Add(deep->nestedClasses, Make<ClumClass>(L"Outer", L"@1"));
        ClumClass_Category* category = Category(root, name);
        ClumClass* inside = Class(category, L"Inside", L"@1");
        auto* user = Attribute(Class(category, L"User"), L"", L"@1");
        auto* outside = Attribute(Class(root, L"OutsideUser"), L"", L"@1");
        // "@2" once among the root's labels, but the reference inside looks in its own category.
        Add(deep->nestedClasses, Make<ClumClass>(L"Far", L"@2"));
        ClumClass* near = Class(Category(root, L"Side"), L"Near", L"@2");
        auto* second = Attribute(Class(category, L"Second"), L"", L"@2");
        EXPECT_EQ(Bind(root), References{}) << "category named '" << name << "'";
        EXPECT_EQ(user->quidu.GetTarget(-1), inside);
        // Two "@1" in the root's labels: the label fails, and "Inside" is nearer than "Outer".
        EXPECT_EQ(outside->quidu.GetTarget(-1), inside);
        EXPECT_EQ(second->quidu.GetTarget(-1), near);
    }
    EXPECT_EQ(Messages(), Strings{});
}

}  // namespace
}  // namespace lum::test
