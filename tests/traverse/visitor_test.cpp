// The two walkers: recursive depth first over every feature (or only the
// links), and breadth first with a queue and a veto per object.

#include "traverse_fixture.h"

namespace lum::test {
namespace {

// R holds, in the order of its class's features: operations o1, o2;
// nestedClasses N (holding operation o3); statemachine SM (declared by an
// ancestor); attributes at (declared by the farthest ancestor).
struct SampleTree {
    ClumClass* root = Named<ClumClass>(L"R");
    ClumClass* nested = nullptr;

    SampleTree() {
        Add(root->operations, Named<ClumOperation>(L"o1"));
        Add(root->operations, Named<ClumOperation>(L"o2"));
        nested = Add(root->nestedClasses, Named<ClumClass>(L"N"));
        Add(nested->operations, Named<ClumOperation>(L"o3"));
        Add(root->statemachine, Named<ClumState_Machine>(L"SM"));
        Add(root->attributes, Named<ClumAttribute>(L"at"));
    }
    ~SampleTree() { delete root; }
};

const std::vector<std::wstring> kDepthFirst{L"Class R",     L"Operation o1",     L"Operation o2", L"Class N",
                                            L"Operation o3", L"State_Machine SM", L"Attribute at"};

std::vector<std::wstring> FeatureNames(const std::vector<const ClumMetaFeature*>& features) {
    std::vector<std::wstring> names;
    for (const ClumMetaFeature* feature : features) names.push_back(feature->GetName().c_str());
    return names;
}

template <class T>
struct Recorder : TlumMetaVisitor<T> {
    std::vector<std::wstring> objects;
    std::vector<const ClumMetaFeature*> featuresOfRoot;
    T* root = nullptr;

    void Visit(T* entity) override {
        if (entity != nullptr) objects.push_back(Describe(entity));
        TlumMetaVisitor<T>::Visit(entity);
    }
    void VisitMetaFeature(const ClumMetaFeature* feature, T* entity) override {
        if (entity == root) featuresOfRoot.push_back(feature);
        TlumMetaVisitor<T>::VisitMetaFeature(feature, entity);
    }
};

using MetaVisitorTest = TraverseTest;

TEST_F(MetaVisitorTest, PreOrderInFeatureOrderOfferingEveryFeature) {
    SampleTree tree;
    Recorder<ClumVellumEntity> recorder;
    recorder.root = tree.root;
    EXPECT_FALSE(recorder.GetVisitOnlyComposite());
    recorder.Visit(tree.root);
    EXPECT_EQ(recorder.objects, kDepthFirst);

    // Every feature, attributes and references included: own ones first.
    const std::vector<std::wstring> seen = FeatureNames(recorder.featuresOfRoot);
    EXPECT_EQ(seen, FeatureNames(ClumClass::StaticGetMetaClass().m_allFeatures));
    auto at = [&](const wchar_t* name) { return std::find(seen.begin(), seen.end(), name) - seen.begin(); };
    EXPECT_EQ(at(L"superclasses"), 0);
    EXPECT_LT(at(L"module"), at(L"abstract"));       // reference of Class, attribute of an ancestor
    EXPECT_LT(at(L"abstract"), at(L"name"));
    EXPECT_LT(at(L"name"), at(L"quid"));
    EXPECT_EQ(seen.back(), L"attributes");
}

TEST_F(MetaVisitorTest, OnlyCompositeOffersLinksAndVisitsTheSameObjects) {
    SampleTree tree;
    Recorder<ClumVellumEntity> recorder;
    recorder.root = tree.root;
    recorder.SetVisitOnlyComposite(true);
    recorder.Visit(tree.root);
    EXPECT_EQ(recorder.objects, kDepthFirst);
    for (const ClumMetaFeature* feature : recorder.featuresOfRoot) EXPECT_EQ(feature->GetKind(), ClumMetaFeature::eLink);
    EXPECT_EQ(FeatureNames(recorder.featuresOfRoot), FeatureNames(ClumClass::StaticGetMetaClass().m_linkFeatures));

    // Copies keep the flag.
    Recorder<ClumVellumEntity> copy(recorder);
    EXPECT_TRUE(copy.GetVisitOnlyComposite());
}

TEST_F(MetaVisitorTest, ConstVisitorWalksTheSameWayAndNullIsIgnored) {
    SampleTree tree;
    Recorder<const ClumVellumEntity> recorder;
    const ClumVellumEntity* root = tree.root;
    recorder.Visit(root);
    EXPECT_EQ(recorder.objects, kDepthFirst);

    Recorder<ClumVellumEntity> plain;
    plain.Visit(nullptr);
    recorder.Visit(nullptr);
    EXPECT_TRUE(plain.objects.empty());
    EXPECT_EQ(recorder.objects.size(), kDepthFirst.size());
}

TEST_F(MetaVisitorTest, LinkSizeIsAskedAgainAfterEveryObject) {
    // Visiting "grow" appends a sibling, which is then visited too.
    struct Growing : Recorder<ClumVellumEntity> {
        ClumClass* owner = nullptr;
        void Visit(ClumVellumEntity* entity) override {
            Recorder::Visit(entity);
            if (ClumUtilityFunctions::GetName(entity) == L"grow") Add(owner->operations, Named<ClumOperation>(L"late"));
        }
    } visitor;
    ClumClass root;
    visitor.owner = &root;
    Add(root.operations, Named<ClumOperation>(L"grow"));
    visitor.Visit(&root);
    EXPECT_EQ(visitor.objects, (std::vector<std::wstring>{L"Class", L"Operation grow", L"Operation late"}));
}

// Records the breadth-first order; objects named in `veto` keep their
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
    // root holds a and b (nestedClasses), an operation before them and an
    // attribute after them; a holds c.
    ClumClass root;
    root.name.Set(L"root");
    ClumClass* a = Add(root.nestedClasses, Named<ClumClass>(L"a"));
    Add(root.nestedClasses, Named<ClumClass>(L"b"));
    Add(a->nestedClasses, Named<ClumClass>(L"c"));
    Add(root.attributes, Named<ClumAttribute>(L"at"));
    Add(root.operations, Named<ClumOperation>(L"op"));

    LevelRecorder walker;
    walker.Visit(&root);
    EXPECT_EQ(walker.objects, (std::vector<std::wstring>{L"Class root", L"Operation op", L"Class a", L"Class b",
                                                         L"Attribute at", L"Class c"}));

    LevelRecorder vetoing;
    vetoing.veto = L"a";
    vetoing.Visit(&root);
    EXPECT_EQ(vetoing.objects, (std::vector<std::wstring>{L"Class root", L"Operation op", L"Class a", L"Class b",
                                                          L"Attribute at"}));

    LevelRecorder none;
    none.Visit(nullptr);
    EXPECT_TRUE(none.objects.empty());
}

}  // namespace
}  // namespace lum::test
