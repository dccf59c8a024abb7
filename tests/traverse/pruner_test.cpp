// The pruner: what a filter disables is cut off and deleted with all it
// holds; disabled attributes and references stay.

#include "traverse_fixture.h"

namespace lum::test {
namespace {

// Disables the object named `object` and the feature named `feature`, the
// latter only for objects of class `onlyFor` when that is set.
struct NameFilter : IlumFilter {
    std::wstring object, feature;
    const ClumMetaClass* onlyFor = nullptr;

    bool IsEnabled(const ClumMetaClass& metaClass, const ClumMetaFeature& metaFeature) override {
        return (onlyFor != nullptr && &metaClass != onlyFor) || metaFeature.GetName() != feature.c_str();
    }
    bool IsEnabled(const ClumVellumEntity* entity) override {
        return ClumUtilityFunctions::GetName(entity) != object.c_str() || object.empty();
    }
};

class PrunerTest : public TraverseTest {
protected:
    // Classes and operations count their deletions.
    void SetUp() override {
        TraverseTest::SetUp();
        root = Named(new Counted<ClumClass>(deleted), L"R");
        Add(root->operations, Named(new Counted<ClumOperation>(deleted), L"o1"));
        Add(root->operations, Named(new Counted<ClumOperation>(deleted), L"o2"));
        Add(root->class_attributes, Named(new ClumClassAttribute, L"ca"));
        Add(root->attributes, Named(new ClumAttribute, L"a1"));
        root->module.DecodeReference(L"m");
        ClumClass* nested = Add(root->nestedClasses, Named(new Counted<ClumClass>(deleted), L"N"));
        ClumOperation* o3 = Add(nested->operations, Named(new Counted<ClumOperation>(deleted), L"o3"));
        Add(o3->attributes, Named(new ClumAttribute, L"a2"));
    }
    void TearDown() override {
        delete root;
        TraverseTest::TearDown();
    }

    // What is left, depth first, is the whole tree without `removed`.
    void ExpectAllBut(const std::vector<std::wstring>& removed) {
        std::vector<std::wstring> left;
        for (ClumVellumEntity* object : AllObjects(root)) left.push_back(Describe(object));
        std::vector<std::wstring> expected = all;
        for (const std::wstring& gone : removed) expected.erase(std::find(expected.begin(), expected.end(), gone));
        EXPECT_EQ(left, expected);
    }

    const std::vector<std::wstring> all{L"Class R",     L"Operation o1", L"Operation o2", L"ClassAttribute ca",
                                        L"Class N",     L"Operation o3", L"Attribute a2", L"Attribute a1"};
    int deleted = 0;
    ClumClass* root = nullptr;
};

TEST_F(PrunerTest, EnableAllOrNoFilterChangesNothing) {
    ClumPruner idle;
    EXPECT_EQ(idle.GetFilter(), nullptr);
    idle.Prune(root);

    ClumEnableAllFilter enableAll;
    ClumPruner pruner(enableAll);
    EXPECT_EQ(pruner.GetFilter(), &enableAll);
    pruner.Prune(root);
    pruner.Prune(nullptr);
    ExpectAllBut({});
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

TEST_F(PrunerTest, DisabledLinkIsEmptiedOnEveryObject) {
    NameFilter filter;
    filter.feature = L"operations";
    ClumPruner(filter).Prune(root);
    ExpectAllBut({L"Operation o1", L"Operation o2", L"Operation o3", L"Attribute a2"});
    EXPECT_EQ(deleted, 3);
}

TEST_F(PrunerTest, FeaturesAreJudgedForTheObjectsOwnClass) {
    // "attributes" is declared far above Class: only the class loses them.
    NameFilter filter;
    filter.feature = L"attributes";
    filter.onlyFor = &ClumClass::StaticGetMetaClass();
    ClumPruner(filter).Prune(root);
    ExpectAllBut({L"Attribute a1"});
}

TEST_F(PrunerTest, DisabledAttributesAndReferencesStay) {
    for (const wchar_t* keyword : {L"name", L"module"}) {
        NameFilter filter;
        filter.feature = keyword;
        ClumPruner(filter).Prune(root);
    }
    ExpectAllBut({});
    EXPECT_EQ(root->module.GetCount(), 1);
}

TEST_F(PrunerTest, DisabledObjectIsCutOffWithItsContents) {
    NameFilter filter;
    filter.object = L"N";
    ClumPruner pruner(filter);
    pruner.Prune(root);
    ExpectAllBut({L"Class N", L"Operation o3", L"Attribute a2"});
    EXPECT_EQ(deleted, 2);

    filter.object = L"o1";
    pruner.Prune(root);
    ExpectAllBut({L"Class N", L"Operation o3", L"Attribute a2", L"Operation o1"});
    EXPECT_EQ(deleted, 3);
}

TEST_F(PrunerTest, PrunesTheDiagramsOfTheSampleModel) {
    struct NoDiagrams : ClumEnableAllFilter {
        using ClumEnableAllFilter::IsEnabled;
        bool IsEnabled(const ClumVellumEntity* entity) override {
            return !entity->GetMetaClass().IsKindOf(&ClumDiagram::StaticGetMetaClass());
        }
    } filter;
    ClumVellumFile file;
    ReadSample(file);
    const std::size_t before = AllObjects(&file).size();
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
