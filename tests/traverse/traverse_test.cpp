// Walking and cutting object trees: the two visitors, the composite filter,
// the pruner, the tree remover (a million deep), the pretty printer's exact
// text, and the utility questions.
#include "support/lum_test.h"

namespace lum {
namespace {
using test::Add;
using test::Counted;
using test::Strings;
using test::Text;
using U = ClumUtilityFunctions;

template <class T>
T* Named(T* object, const wchar_t* name) {
    object->name.Set(ClumIdent(name));
    return object;
}

// "Class A" for an object named A, the class keyword alone when unnamed.
std::wstring Describe(const ClumVellumEntity* object) {
    const std::wstring name = Text(U::GetName(object));
    return object->GetMetaClass().GetName().c_str() + (name.empty() ? L"" : L" " + name);
}

template <class T>
struct Recorder : TlumMetaVisitor<T> {
    Strings objects, featuresOfRoot;
    T* root = nullptr;
    ClumClass* growAt = nullptr;  // visiting "o1" appends an operation there, visited too
    void Visit(T* entity) override {
        if (entity != nullptr) objects.push_back(Describe(entity));
        if (growAt != nullptr && entity != nullptr && U::GetName(entity) == L"o1") Add(growAt->operations, Named(new ClumOperation, L"late"));
        TlumMetaVisitor<T>::Visit(entity);
    }
    void VisitMetaFeature(const ClumMetaFeature* feature, T* entity) override {
        if (entity == root) featuresOfRoot.push_back(feature->GetName().c_str());
        TlumMetaVisitor<T>::VisitMetaFeature(feature, entity);
    }
};

Strings Names(const std::vector<const ClumMetaFeature*>& features) {
    Strings names;
    for (const ClumMetaFeature* feature : features) names.push_back(feature->GetName().c_str());
    return names;
}

Strings All(ClumVellumEntity* root) {
    Recorder<ClumVellumEntity> recorder;
    recorder.Visit(root);
    return recorder.objects;
}

class Traverse : public test::LumTest {
protected:
    // R: operations o1, o2; class attribute ca; nestedClasses N (operations o3
    // with attribute a2); attributes a1, declared by an ancestor of Class.
    void SetUp() override {
        LumTest::SetUp();
        root = Named(new Counted<ClumClass>(deleted), L"R");
        Add(root->operations, Named(new Counted<ClumOperation>(deleted), L"o1"));
        Add(root->operations, Named(new Counted<ClumOperation>(deleted), L"o2"));
        Add(root->class_attributes, Named(new ClumClassAttribute, L"ca"));
        Add(root->attributes, Named(new ClumAttribute, L"a1"));
        root->module.DecodeReference(L"m");
        ClumClass* nested = Add(root->nestedClasses, Named(new Counted<ClumClass>(deleted), L"N"));
        Add(Add(nested->operations, Named(new Counted<ClumOperation>(deleted), L"o3"))->attributes, Named(new ClumAttribute, L"a2"));
    }
    void TearDown() override {
        delete root;
        EXPECT_EQ(Messages(), Strings{});
        LumTest::TearDown();
    }
    Strings AllBut(const Strings& removed) const {
        Strings expected = all;
        for (const std::wstring& gone : removed) expected.erase(std::find(expected.begin(), expected.end(), gone));
        return expected;
    }
    const Strings all{L"Class R", L"Operation o1", L"Operation o2", L"ClassAttribute ca",
                      L"Class N", L"Operation o3", L"Attribute a2", L"Attribute a1"};
    int deleted = 0;
    ClumClass* root = nullptr;
};

TEST_F(Traverse, TheVisitorGoesDepthFirstOfferingEveryFeatureOrOnlyLinks) {
    Recorder<ClumVellumEntity> recorder;
    recorder.root = root;
    recorder.Visit(root);
    recorder.Visit(nullptr);
    EXPECT_EQ(recorder.objects, all);
    EXPECT_EQ(recorder.featuresOfRoot, Names(ClumClass::StaticGetMetaClass().m_allFeatures));
    Recorder<const ClumVellumEntity> links;
    links.root = root;
    links.SetVisitOnlyComposite(true);
    links.Visit(root);
    EXPECT_EQ(links.objects, all);
    EXPECT_EQ(links.featuresOfRoot, Names(ClumClass::StaticGetMetaClass().m_linkFeatures));
    Recorder<ClumVellumEntity> growing;  // the size of a link is asked again after every object
    growing.growAt = root;
    growing.Visit(root);
    EXPECT_EQ(growing.objects.at(3), L"Operation late");
}

TEST_F(Traverse, TheNonRecursiveVisitorGoesLevelByLevelAndAVetoKeepsContentsOut) {
    struct LevelRecorder : TlumNonRecursiveMetaVisitor<ClumVellumEntity> {
        Strings objects;
        std::wstring veto;
        bool OnVisit(ClumVellumEntity* entity) override {
            objects.push_back(Describe(entity));
            return U::GetName(entity) != veto.c_str();
        }
    } walker, vetoing;
    walker.Visit(root);
    walker.Visit(nullptr);
    EXPECT_EQ(walker.objects, (Strings{L"Class R", L"Operation o1", L"Operation o2", L"ClassAttribute ca", L"Class N",
                                       L"Attribute a1", L"Operation o3", L"Attribute a2"}));
    vetoing.veto = L"o1";
    vetoing.Visit(root);
    EXPECT_EQ(vetoing.objects, walker.objects);
    vetoing.objects.clear();
    vetoing.veto = L"N";
    vetoing.Visit(root);
    EXPECT_EQ(vetoing.objects, Strings(walker.objects.begin(), walker.objects.end() - 2));
}

// Answers a fixed value, noting its id in `asked` and its deletion in `deleted`.
struct Recording : IlumFilter {
    Recording(bool answer_, int id_, std::vector<int>& asked_, int& deleted_)
        : answer(answer_), id(id_), asked(asked_), deleted(deleted_) {}
    ~Recording() override { ++deleted; }
    bool IsEnabled(const ClumMetaClass&, const ClumMetaFeature&) override { return asked.push_back(id), answer; }
    bool IsEnabled(const ClumVellumEntity*) override { return asked.push_back(id), answer; }
    bool answer;
    int id;
    std::vector<int>& asked;
    int& deleted;
};

TEST_F(Traverse, TheCompositeFilterStopsAtTheFirstDecidingAnswerAndOwnsItsFilters) {
    using Op = ClumCompositeFilter::Operation;
    const struct {
        Op operation;
        std::vector<bool> answers;
        bool expected;
        std::vector<int> asked;
    } cases[] = {
        {ClumCompositeFilter::eAnd, {}, false, {}}, {ClumCompositeFilter::eXor, {true}, true, {1}},
        {ClumCompositeFilter::eAnd, {true, false, true}, false, {1, 2}}, {ClumCompositeFilter::eAnd, {true, true}, true, {1, 2}},
        {ClumCompositeFilter::eOr, {false, true, false}, true, {1, 2}}, {ClumCompositeFilter::eOr, {false, false}, false, {1, 2}},
        {ClumCompositeFilter::eXor, {true, true, true}, false, {1, 2}}, {ClumCompositeFilter::eXor, {false, false, true}, true, {1, 2, 3}},
        {static_cast<Op>(3), {true, true}, false, {}},
    };
    std::vector<int> asked;
    int filtersDeleted = 0;
    for (const auto& c : cases) {
        ClumCompositeFilter composite(c.operation);
        for (std::size_t i = 0; i < c.answers.size(); ++i)
            composite.Add(new Recording(c.answers[i], static_cast<int>(i) + 1, asked, filtersDeleted));
        for (int question = 0; question < 2; ++question) {
            asked.clear();
            const ClumMetaClass& metaClass = ClumClass::StaticGetMetaClass();
            const bool answer = question == 0 ? composite.IsEnabled(nullptr)
                                              : composite.IsEnabled(metaClass, *metaClass.m_allFeatures.front());
            EXPECT_EQ(answer, c.expected) << "case " << &c - cases;
            EXPECT_EQ(asked, c.asked) << "case " << &c - cases;
        }
    }
    EXPECT_EQ(filtersDeleted, 19);
    ClumCompositeFilter composite(ClumCompositeFilter::eAnd);
    for (int i = 0; i < 3; ++i) composite.Add(new Recording(true, i, asked, filtersDeleted));
    IlumFilter* first = composite.Get(0);
    IlumFilter* third = composite.Get(2);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(composite.Get(3), nullptr);
    IlumFilter* second = composite.Get(1);
    composite.Remove(second);  // given back, not deleted
    composite.Remove(0u);
    EXPECT_EQ(composite.Get(0), third);
    EXPECT_EQ(filtersDeleted, 19);
    delete first;
    delete second;
    ClumCompositeFilter moved(std::move(composite));
    ClumCompositeFilter target(ClumCompositeFilter::eOr);
    target.Add(new Recording(true, 9, asked, filtersDeleted));
    target = std::move(moved);
    EXPECT_EQ(filtersDeleted, 22);  // `first`, `second` and the target's own
    EXPECT_EQ(target.Count(), 1u);
}

// Disables the object named `object` and the feature named `feature`.
struct NameFilter : IlumFilter {
    std::wstring object, feature;
    bool IsEnabled(const ClumMetaClass&, const ClumMetaFeature& metaFeature) override {
        return metaFeature.GetName() != feature.c_str();
    }
    bool IsEnabled(const ClumVellumEntity* entity) override { return U::GetName(entity) != object.c_str() || object.empty(); }
};

TEST_F(Traverse, ThePrunerCutsOffAndDeletesWhatTheFilterDisables) {
    ClumEnableAllFilter enableAll;
    ClumPruner(enableAll).Prune(root);
    ClumPruner().Prune(root);
    EXPECT_EQ(All(root), all);
    NameFilter filter;
    for (const wchar_t* keyword : {L"name", L"module"}) {  // attributes and references stay
        filter.feature = keyword;
        ClumPruner(filter).Prune(root);
    }
    EXPECT_EQ(All(root), all);
    filter.feature = L"operations";  // emptied on every object
    ClumPruner(filter).Prune(root);
    EXPECT_EQ(All(root), AllBut({L"Operation o1", L"Operation o2", L"Operation o3", L"Attribute a2"}));
    EXPECT_EQ(deleted, 3);
    filter.feature.clear();
    filter.object = L"N";
    ClumPruner(filter).Prune(root);
    EXPECT_EQ(All(root), (Strings{L"Class R", L"ClassAttribute ca", L"Attribute a1"}));
    EXPECT_EQ(deleted, 4);
    ClumDisableAllFilter disableAll;
    ClumPruner(disableAll).Prune(root);
    root = nullptr;
    EXPECT_EQ(deleted, 5);
}

TEST_F(Traverse, TheTreeRemoverTakesARootOutOfItsOwnerAndDeletesOverlappingRootsOnce) {
    // parent holds x (holding x1, which holds x2) and y; each case names some as roots (-1: null).
    const struct {
        std::vector<int> roots;
        int deleted, left;
    } cases[] = {{{0, 0}, 3, 1}, {{0, 1, 3}, 4, 0}, {{2, 0, 3, 0}, 4, 0}, {{1, 2, -1}, 2, 2}, {{3, 3, 3}, 1, 1}};
    for (const auto& c : cases) {
        int count = 0;
        ClumClass parent;
        ClumClass* x = Add(parent.nestedClasses, new Counted<ClumClass>(count));
        ClumClass* x1 = Add(x->nestedClasses, new Counted<ClumClass>(count));
        ClumClass* x2 = Add(x1->nestedClasses, new Counted<ClumClass>(count));
        ClumClass* y = Add(parent.nestedClasses, new Counted<ClumClass>(count));
        const std::vector<ClumVellumEntity*> objects{x, x1, x2, y};
        std::vector<ClumVellumEntity*> roots;
        for (int i : c.roots) roots.push_back(i < 0 ? nullptr : objects[i]);
        TreeRemover().DeleteRoots(roots);
        EXPECT_EQ(count, c.deleted) << "case " << &c - cases;
        EXPECT_EQ(parent.nestedClasses.GetSize(), c.left) << "case " << &c - cases;
    }
    TreeRemover remover;
    remover.DeleteTree(root->nestedClasses.Get(0));
    remover.DeleteTree(nullptr);
    EXPECT_EQ(All(root), AllBut({L"Class N", L"Operation o3", L"Attribute a2"}));
    EXPECT_EQ(deleted, 2);
}

// Every object of the trees is visited once, at its depth, whatever the
// number of threads: wide packages, a deep chain and bare classes side by
// side, so that parts are cut at several levels; the parts come in walk
// order; an exception from a visit comes back to the caller.
TEST_F(Traverse, VisitingOnThreadsMeetsEveryObjectOnceAtItsDepth) {
    auto* top = new ClumClass_Category;
    for (int p = 0; p < 40; ++p) {
        ClumClass_Category* package = Add(top->logical_models, new ClumClass_Category);
        for (int c = 0; c < (p % 4 == 0 ? 300 : p % 3); ++c) {
            Add(Add(package->logical_models, new ClumClass)->operations, new ClumOperation);
        }
    }
    ClumClass* chain = Add(top->logical_models, new ClumClass);
    for (int i = 0; i < 50; ++i) chain = Add(chain->nestedClasses, new ClumClass);
    const std::vector<const ClumVellumEntity*> roots{top, nullptr, root};
    std::vector<std::pair<const ClumVellumEntity*, std::size_t>> expected;
    for (const DepthFirst::Step& step : DepthFirst(roots)) expected.emplace_back(step.entity, step.depth);
    std::sort(expected.begin(), expected.end());
    for (unsigned threads : {1u, 2u, 4u, 0u}) {
        std::vector<std::vector<std::pair<const ClumVellumEntity*, std::size_t>>> seen(WorkersFor(threads));
        VisitOnThreads(roots, threads, [&](unsigned worker, const ClumVellumEntity* object, std::size_t depth) {
            seen.at(worker).emplace_back(object, depth);
        });
        std::vector<std::pair<const ClumVellumEntity*, std::size_t>> all;
        for (const auto& part : seen) all.insert(all.end(), part.begin(), part.end());
        std::sort(all.begin(), all.end());
        EXPECT_EQ(all, expected) << threads << " threads";
    }
    // The parts come in walk order: a walk that meets them in turn can hand them out.
    std::vector<TreePart> parts, above;
    CutIntoParts(roots, 64, parts, above);
    EXPECT_GE(parts.size(), 64u);
    std::vector<const ClumVellumEntity*> walked;
    for (const DepthFirst::Step& step : DepthFirst(roots)) walked.push_back(step.entity);
    auto from = walked.begin();
    for (const TreePart& part : parts) {
        from = std::find(from, walked.end(), part.entity);
        ASSERT_NE(from, walked.end()) << "parts out of walk order";
    }
    const auto throwAt = [&](const ClumVellumEntity* at) {
        VisitOnThreads(roots, 4, [at](unsigned, const ClumVellumEntity* object, std::size_t) {
            if (object == at) throw std::runtime_error("stop");
        });
    };
    EXPECT_THROW(throwAt(top), std::runtime_error);    // visited by the calling thread
    EXPECT_THROW(throwAt(chain), std::runtime_error);  // deep inside a part
    delete top;
}

class MillionDeep : public test::LumTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MillionDeep, AChainIsDeletedWithoutRecursion) {
    int count = 0;
    ClumClass* top = new Counted<ClumClass>(count);
    ClumClass* last = top;
    for (int i = 0; i < 1000000; ++i) last = Add(last->nestedClasses, new Counted<ClumClass>(count));
    if (GetParam()) TreeRemover().DeleteTree(top);
    else delete top;
    EXPECT_EQ(count, 1000001);
}

INSTANTIATE_TEST_SUITE_P(ByTheRemoverAndByDelete, MillionDeep, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "TreeRemover" : "Delete"; });

std::wstring Printed(const ClumVellumEntity* entity) {
    std::wostringstream out;
    ClumPrettyPrinter::Print(entity, out);
    return out.str();
}

TEST_F(Traverse, ThePrettyPrinterWritesSetFeaturesAndLinkBlocksFourBlanksALevel) {
    ClumOperation* o1 = test::As<ClumOperation>(root->operations.Get(0));
    Add(o1->parameters, Named(new ClumParameter, L"p"));
    o1->exceptions.DecodeReference(L"E1");
    o1->exceptions.DecodeReference(L"Pkg::E2");
    o1->uid.Set(0);  // an int holding 0 counts as not set
    root->quid.Set(L"Q1");
    EXPECT_EQ(Printed(root->operations.Get(0)),
              L"object Operation\n"
              L"    exceptions = ref E1;\n"
              L"        Pkg::E2;\n"
              L"    ( link parameters\n"
              L"        object Parameter\n"
              L"            name = p;\n"
              L"    )\n"
              L"    name = o1;\n");
    EXPECT_EQ(Printed(root->class_attributes.Get(0)), L"object ClassAttribute\n    name = ca;\n");
    EXPECT_EQ(Printed(nullptr), L"");
    ClumVellumFloat number;  // floats always print
    EXPECT_EQ(Printed(&number), L"object VellumFloat\n    value = 0.000000;\n");
    ClumInheritance_Relationship relationship;
    relationship.supplier.DecodeReference(L"Logical View::Catalog::Item");
    std::wostringstream captured;
    std::wstreambuf* saved = std::wcout.rdbuf(captured.rdbuf());
    ClumPrettyPrinter::Print(&relationship);
    std::wcout.rdbuf(saved);
    EXPECT_EQ(captured.str(), L"object Inheritance_Relationship\n    supplier = ref Logical View::Catalog::Item;\n");
}

TEST_F(Traverse, UtilityQuestions) {
    const std::pair<std::wstring, std::wstring> files[] = {
        {L"C:\\m\\pkg.cat", L"pkg"}, {L"pkg.old.cat", L"pkg"}, {L"dir/f.cat", L"dir/f"}, {L".cat", L".cat"}, {L"", L""},
        {L"C:\\dir.d\\file", L"file"}, {L"\\pkg.cat", L"\\pkg"}, {L"a\\b", L"b"}, {L"a", L"a"},
    };
    for (const auto& [path, expected] : files) EXPECT_EQ(std::wstring(U::GetShortFileName(path)), expected) << path;
    ClumFont font;  // neither name nor quid
    EXPECT_TRUE(U::HasName(root) && !U::HasQuid(root) && !U::HasName(&font) && !U::HasQuid(nullptr));
    EXPECT_EQ(U::IsNamedObject(&font), nullptr);
    ClumRole role;
    role.is_aggregate.Set(true);
    EXPECT_TRUE(U::IsAggregate(&role) && !U::IsNavigable(&role) && !U::IsAggregate(nullptr));
    ClumAssociation association;
    std::vector<bool> binary;
    for (int roles = 0; roles < 4; ++roles, Add(association.roles, new ClumRole)) binary.push_back(U::IsBinaryAssociation(&association));
    EXPECT_EQ(binary, (std::vector<bool>{false, false, true, false}));
    ClumMetaclass derived;  // a kind of class
    ClumUseCase useCase;
    ClumOperation operation;  // has an "abstract" feature, but is neither
    EXPECT_FALSE(U::IsAbstract(&useCase));
    for (IlumAttribute* abstract : std::initializer_list<IlumAttribute*>{&derived.abstract, &useCase.abstract, &operation.abstract})
        abstract->Decode(L"TRUE");
    EXPECT_TRUE(U::IsAbstract(&derived) && U::IsAbstract(&useCase) && !U::IsAbstract(&operation) && !U::IsAbstract(nullptr));
}

TEST_F(Traverse, LineEndsAreNamedByTheirTextTheirSymbolsLabelOrTheBoundObject) {
    using Ends = std::pair<std::wstring, std::wstring>;
    auto ends = [](const ClumVellumEntity* line) {
        ClumIdent client(L"unchanged"), supplier(L"unchanged");
        U::GetLineEndNames(line, client, supplier);
        return Ends(Text(client), Text(supplier));
    };
    auto view = [](std::initializer_list<const wchar_t*> labels) {
        auto* made = new ClumClassView;
        for (const wchar_t* text : labels) Add(made->label, new ClumItemLabel)->label.Set(text);
        return std::unique_ptr<ClumClassView>(made);
    };
    ClumAssociationViewNew line;
    line.supplier.DecodeReference(L"S");
    EXPECT_EQ(ends(&line), Ends(L"unchanged", L"unchanged"));  // no client: left alone
    line.client.DecodeReference(L"@11");
    EXPECT_EQ(ends(&line), Ends(L"@11", L"S"));
    auto one = view({L"Book"}), two = view({L"Item", L"Other"});
    line.client.BindTo(one.get(), -1);
    line.supplier.BindTo(two.get(), -1);
    EXPECT_EQ(ends(&line), Ends(L"Book", L"S"));
    ClumClass source, target, other;
    ClumObject_Flow flow;
    flow.client_quidu.DecodeReference(L"q1");
    flow.supplier_quidu.DecodeReference(L"q2");
    flow.quidu.DecodeReference(L"q3");
    EXPECT_EQ(ends(&flow), Ends(L"", L""));  // unbound: no names
    flow.client_quidu.BindTo(Named(&source, L"Src"), -1);
    flow.supplier_quidu.BindTo(Named(&target, L"Dst"), -1);
    flow.quidu.BindTo(Named(&other, L"Other"), -1);
    EXPECT_EQ(ends(&flow), Ends(L"Src", L"Dst"));
    flow.supplier_quidu.Remove(-1);  // then the supplier through quidu
    EXPECT_EQ(ends(&flow), Ends(L"Src", L"Other"));
    flow.quidu.BindTo(one.get(), -1);
    EXPECT_EQ(ends(&flow), Ends(L"Src", L"Book"));
}

}  // namespace
}  // namespace lum
