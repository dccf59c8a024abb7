// The two walkers: recursive depth first over every feature (or only the
// links), and breadth first with a veto per object.

#include "traverse_fixture.h"

namespace lum::test {
namespace {

// Records the objects visited and the features offered for `root`.
template <class T>
struct Recorder : TlumMetaVisitor<T> {
    std::vector<std::wstring> objects;
    std::vector<std::wstring> featuresOfRoot;
    T* root = nullptr;

    void Visit(T* entity) override {
        if (entity != nullptr) objects.push_back(Describe(entity));
        TlumMetaVisitor<T>::Visit(entity);
    }
    void VisitMetaFeature(const ClumMetaFeature* feature, T* entity) override {
        if (entity == root) featuresOfRoot.push_back(feature->GetName().c_str());
        TlumMetaVisitor<T>::VisitMetaFeature(feature, entity);
    }
};

std::vector<std::wstring> Names(const std::vector<const ClumMetaFeature*>& features) {
    std::vector<std::wstring> names;
    for (const ClumMetaFeature* feature : features) names.push_back(feature->GetName().c_str());
    return names;
}

class MetaVisitorTest : public TraverseTest {
protected:
    // R: operations o1, o2; nestedClasses N (operations o3); statemachine SM
    // and attributes at, both declared by ancestors of Class.
    void SetUp() override {
        TraverseTest::SetUp();
        root = new ClumClass;
        Add(root->operations, Named(new ClumOperation, L"o1"));
        Add(root->operations, Named(new ClumOperation, L"o2"));
        Add(Add(root->nestedClasses, Named(new ClumClass, L"N"))->operations, Named(new ClumOperation, L"o3"));
        Add(root->statemachine, Named(new ClumState_Machine, L"SM"));
        Add(root->attributes, Named(new ClumAttribute, L"at"));
        root->name.Set(L"R");
    }
    void TearDown() override {
        delete root;
        TraverseTest::TearDown();
    }

    ClumClass* root = nullptr;
    const std::vector<std::wstring> depthFirst{L"Class R",     L"Operation o1",     L"Operation o2", L"Class N",
                                               L"Operation o3", L"State_Machine SM", L"Attribute at"};
};

TEST_F(MetaVisitorTest, PreOrderOfferingEveryFeatureOwnOnesFirst) {
    Recorder<ClumVellumEntity> recorder;
    recorder.root = root;
    EXPECT_FALSE(recorder.GetVisitOnlyComposite());
    recorder.Visit(root);
    recorder.Visit(nullptr);
    EXPECT_EQ(recorder.objects, depthFirst);
    EXPECT_EQ(recorder.featuresOfRoot, Names(ClumClass::StaticGetMetaClass().m_allFeatures));
    EXPECT_EQ(recorder.featuresOfRoot.front(), L"superclasses");
    EXPECT_EQ(recorder.featuresOfRoot.back(), L"attributes");

    Recorder<const ClumVellumEntity> constRecorder;
    constRecorder.Visit(static_cast<const ClumVellumEntity*>(root));
    EXPECT_EQ(constRecorder.objects, depthFirst);
}

TEST_F(MetaVisitorTest, OnlyCompositeOffersOnlyLinks) {
    Recorder<ClumVellumEntity> recorder;
    recorder.root = root;
    recorder.SetVisitOnlyComposite(true);
    Recorder<ClumVellumEntity> copy(recorder);
    EXPECT_TRUE(copy.GetVisitOnlyComposite());
    recorder.Visit(root);
    EXPECT_EQ(recorder.objects, depthFirst);
    EXPECT_EQ(recorder.featuresOfRoot, Names(ClumClass::StaticGetMetaClass().m_linkFeatures));
    EXPECT_EQ(std::count(recorder.featuresOfRoot.begin(), recorder.featuresOfRoot.end(), L"name"), 0);
}

TEST_F(MetaVisitorTest, LinkSizeIsAskedAgainAfterEveryObject) {
    // Visiting o1 appends a sibling, which is then visited too.
    struct Growing : Recorder<ClumVellumEntity> {
        ClumClass* owner = nullptr;
        void Visit(ClumVellumEntity* entity) override {
            Recorder::Visit(entity);
            if (ClumUtilityFunctions::GetName(entity) == L"o1") Add(owner->operations, Named(new ClumOperation, L"late"));
        }
    } visitor;
    visitor.owner = root;
    visitor.Visit(root);
    EXPECT_EQ(visitor.objects[3], L"Operation late");
}

// Records the breadth-first order; the object named `veto` keeps its
// contents from being visited.
struct LevelRecorder : TlumNonRecursiveMetaVisitor<ClumVellumEntity> {
    std::vector<std::wstring> objects;
    std::wstring veto;

protected:
    bool OnVisit(ClumVellumEntity* entity) override {
        objects.push_back(Describe(entity));
        return ClumUtilityFunctions::GetName(entity) != veto.c_str();
    }
};

using NonRecursiveVisitorTest = TraverseTest;

TEST_F(NonRecursiveVisitorTest, LevelByLevelInFeatureAndPositionOrder) {
    // root holds a and b; a holds c; an operation and an attribute of root
    // sit before and after them in feature order.
    ClumClass root;
    root.name.Set(L"root");
    ClumClass* a = Add(root.nestedClasses, Named(new ClumClass, L"a"));
    Add(root.nestedClasses, Named(new ClumClass, L"b"));
    Add(a->nestedClasses, Named(new ClumClass, L"c"));
    Add(root.attributes, Named(new ClumAttribute, L"at"));
    Add(root.operations, Named(new ClumOperation, L"op"));
    const std::vector<std::wstring> levels{L"Class root", L"Operation op", L"Class a",
                                           L"Class b",    L"Attribute at", L"Class c"};

    LevelRecorder walker;
    walker.Visit(&root);
    walker.Visit(nullptr);
    EXPECT_EQ(walker.objects, levels);

    LevelRecorder vetoing;
    vetoing.veto = L"a";
    vetoing.Visit(&root);
    EXPECT_EQ(vetoing.objects, std::vector<std::wstring>(levels.begin(), levels.end() - 1));
}

}  // namespace
}  // namespace lum::test
