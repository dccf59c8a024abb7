// The pruner: objects and link features that a filter disables are cut off
// and deleted with everything they hold; attributes and references stay.

#include "traverse_fixture.h"

namespace lum::test {
namespace {

using CountedClass = Counted<ClumClass>;
using CountedOperation = Counted<ClumOperation>;

// Disables objects by name and features by keyword, optionally only for
// objects of exactly one class.
struct NameFilter : IlumFilter {
    std::wstring object;
    std::wstring feature;
    const ClumMetaClass* onlyFor = nullptr;

    bool IsEnabled(const ClumMetaClass& metaClass, const ClumMetaFeature& metaFeature) override {
        if (onlyFor != nullptr && &metaClass != onlyFor) return true;
        return metaFeature.GetName() != feature.c_str();
    }
    bool IsEnabled(const ClumVellumEntity* entity) override {
        return object.empty() || ClumUtilityFunctions::GetName(entity) != object.c_str();
    }
};

// R (operations o1, o2; class_attributes ca; module ref "m"; attributes a1)
// holds N (operations o3; attributes a2 on o3). Every class and operation
// counts its deletion.
class PrunerTest : public TraverseTest {
protected:
    void SetUp() override {
        TraverseTest::SetUp();
        root = Named(new CountedClass(deleted), L"R");
        Add(root->operations, Named(new CountedOperation(deleted), L"o1"));
        Add(root->operations, Named(new CountedOperation(deleted), L"o2"));
        Add(root->class_attributes, Named<ClumClassAttribute>(L"ca"));
        Add(root->attributes, Named<ClumAttribute>(L"a1"));
        root->module.DecodeReference(L"m");
        nested = Add(root->nestedClasses, Named(new CountedClass(deleted), L"N"));
        ClumOperation* o3 = Add(nested->operations, Named(new CountedOperation(deleted), L"o3"));
        Add(o3->attributes, Named<ClumAttribute>(L"a2"));
    }
    void TearDown() override {
        delete root;
        TraverseTest::TearDown();
    }

    // "Class R", "Operation o1", ...: what is left, depth first.
    std::vector<std::wstring> Left() {
        std::vector<std::wstring> left;
        if (root != nullptr)
            for (ClumVellumEntity* object : AllObjects(root)) left.push_back(Describe(object));
        return left;
    }

    const std::vector<std::wstring> kAll{L"Class R",     L"Operation o1", L"Operation o2", L"ClassAttribute ca",
                                         L"Class N",     L"Operation o3", L"Attribute a2", L"Attribute a1"};
    int deleted = 0;
    CountedClass* root = nullptr;
    ClumClass* nested = nullptr;
};

TEST_F(PrunerTest, EnableAllChangesNothingAndWithoutFilterNothingHappens) {
    ClumPruner idle;
    EXPECT_EQ(idle.GetFilter(), nullptr);
    idle.Prune(root);

    ClumEnableAllFilter enableAll;
    ClumPruner pruner(enableAll);
    EXPECT_EQ(pruner.GetFilter(), &enableAll);
    pruner.Prune(root);
    pruner.Prune(nullptr);
    EXPECT_EQ(Left(), kAll);
    EXPECT_EQ(deleted, 0);
}

TEST_F(PrunerTest, DisableAllDeletesTheRoot) {
    ClumDisableAllFilter disableAll;
    ClumPruner pruner;
    pruner.SetFilter(disableAll);
    pruner.Prune(root);
    root = nullptr;
    EXPECT_EQ(deleted, 5);
}

TEST_F(PrunerTest, DisabledLinkIsEmptiedOnEveryObjectAndItsObjectsDeleted) {
    NameFilter filter;
    filter.feature = L"operations";
    ClumPruner(filter).Prune(root);
    EXPECT_EQ(Left(), (std::vector<std::wstring>{L"Class R", L"ClassAttribute ca", L"Class N", L"Attribute a1"}));
    EXPECT_EQ(deleted, 3);
}

TEST_F(PrunerTest, InheritedLinkDisabledForOneClassOnly) {
    // "attributes" is declared far up the tree: the filter is asked with the
    // object's own class, so only classes lose theirs.
    NameFilter filter;
    filter.feature = L"attributes";
    filter.onlyFor = &ClumClass::StaticGetMetaClass();
    ClumPruner(filter).Prune(root);
    std::vector<std::wstring> expected = kAll;
    expected.pop_back();
    EXPECT_EQ(Left(), expected);
}

TEST_F(PrunerTest, DisabledAttributesAndReferencesStay) {
    for (const wchar_t* keyword : {L"name", L"module"}) {
        NameFilter filter;
        filter.feature = keyword;
        ClumPruner(filter).Prune(root);
    }
    EXPECT_EQ(Left(), kAll);
    EXPECT_EQ(root->module.GetCount(), 1);
    EXPECT_EQ(deleted, 0);
}

TEST_F(PrunerTest, DisabledObjectIsCutOffWithItsContents) {
    NameFilter filter;
    filter.object = L"N";
    ClumPruner pruner(filter);
    pruner.Prune(root);
    EXPECT_EQ(Left(), (std::vector<std::wstring>{L"Class R", L"Operation o1", L"Operation o2", L"ClassAttribute ca",
                                                 L"Attribute a1"}));
    EXPECT_EQ(deleted, 2);

    // A second run of the same pruner finds nothing more to cut.
    pruner.Prune(root);
    EXPECT_EQ(deleted, 2);

    filter.object = L"o1";
    pruner.Prune(root);
    EXPECT_EQ(deleted, 3);
    ASSERT_EQ(root->operations.GetSize(), 1);
    EXPECT_EQ(Text(root->operations.Get(0)->name.Get()), L"o2");
}

TEST_F(PrunerTest, PrunesTheDiagramsOfTheSampleModel) {
    ClumVellumFile file;
    ReadSample(file);
    const std::size_t before = AllObjects(&file).size();

    // Every diagram goes, with the items it shows.
    struct NoDiagrams : ClumCompositeFilter {
        NoDiagrams() : ClumCompositeFilter(eAnd) {
            Add(new ClumEnableAllFilter);
            struct Objects : ClumEnableAllFilter {
                bool IsEnabled(const ClumVellumEntity* entity) override {
                    return !entity->GetMetaClass().IsKindOf(&ClumDiagram::StaticGetMetaClass());
                }
                using ClumEnableAllFilter::IsEnabled;
            };
            Add(new Objects);
        }
    } filter;
    ClumPruner(filter).Prune(&file);

    const std::vector<ClumVellumEntity*> after = AllObjects(&file);
    EXPECT_LT(after.size(), before);
    EXPECT_NE(Find(&file, L"Class", L"LoanPolicy"), nullptr);
    for (ClumVellumEntity* object : after) {
        EXPECT_FALSE(object->GetMetaClass().IsKindOf(&ClumDiagram::StaticGetMetaClass())) << Describe(object);
        EXPECT_FALSE(object->GetMetaClass().IsKindOf(&ClumDiagramItem::StaticGetMetaClass())) << Describe(object);
    }
}

}  // namespace
}  // namespace lum::test
