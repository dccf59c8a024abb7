// Name resolution: which object a reference binds to (companion quids,
// absolute name paths, labels, lists, objects never bound to), the choice
// among several candidates and the report of a tie, the lookups and the
// life of the indexes across calls, and the sample model bound whole.
#include <functional>
#include <map>
#include <set>

#include "resolve/collector.h"
#include "resolve/groups.h"
#include "support/lum_test.h"

namespace lum {
namespace {
using test::Add;
using test::Make;
using test::Strings;
using References = std::vector<const IlumReference*>;
using Entities = std::vector<const ClumVellumEntity*>;

References Sorted(References references) {
    std::sort(references.begin(), references.end());
    return references;
}

// Models made in code, each below a design "Model" whose root category is
// the first component of every name path.
class Resolve : public test::LumTest {
protected:
    void TearDown() override {
        models.clear();
        LumTest::TearDown();
    }
    static void Write(IlumReference& reference, const wchar_t* text) {
        if (*text != L'\0') reference.Decode(WString(text));
    }
    ClumClass_Category* NewModel(const wchar_t* rootName = L"Logical View", const wchar_t* quid = L"") {
        auto* design = Make<ClumDesign>(L"Model");
        models.emplace_back(design);
        return Add(design->root_category, Make<ClumClass_Category>(rootName, quid));
    }
    static const ClumVellumEntity* Top(const ClumVellumEntity* object) {
        while (object->Owner() != nullptr) object = object->Owner();
        return object;
    }
    static ClumClass_Category* Category(ClumClass_Category* in, const wchar_t* name, const wchar_t* quid = L"") {
        return Add(in->logical_models, Make<ClumClass_Category>(name, quid));
    }
    static ClumClass* Class(ClumClass_Category* in, const wchar_t* name, const wchar_t* quid = L"") {
        return Add(in->logical_models, Make<ClumClass>(name, quid));
    }
    static ClumClassAttribute* Attribute(ClumClass* in, const wchar_t* type, const wchar_t* quidu = L"") {
        auto* attribute = Add(in->class_attributes, Make<ClumClassAttribute>(L"a"));
        Write(attribute->type, type);
        Write(attribute->quidu, quidu);
        return attribute;
    }
    static ClumRole* Role(ClumAssociation* in, const wchar_t* name, const wchar_t* supplier, const wchar_t* quidu = L"",
                          const wchar_t* quid = L"") {
        auto* role = Add(in->roles, Make<ClumRole>(name, quid));
        Write(role->supplier, supplier);
        Write(role->quidu, quidu);
        return role;
    }
    static ClumClassView* View(ClumClass_Category* in, const wchar_t* name, const wchar_t* quid, const wchar_t* quidu = L"") {
        auto* diagram = Add(in->logical_presentations, Make<ClumClassDiagram>(L"Main"));
        auto* view = Add(diagram->items, Make<ClumClassView>(name, quid));
        Write(view->quidu, quidu);
        return view;
    }
    // Collects and binds the tree of `object`; the features left unbound.
    References Bind(const ClumVellumEntity* object) {
        References unresolved;
        resolver.CollectAndBind(Top(object), unresolved);
        return unresolved;
    }
    std::vector<std::unique_ptr<ClumVellumEntity>> models;
    ClumNameResolver resolver;
};

TEST_F(Resolve, CompanionQuidsWinOverTheWrittenNameAndNamePathsAreAbsolute) {
    ClumClass_Category* root = NewModel();
    ClumClass* point = Class(root, L"Point", L"Q-POINT");
    ClumClass* line = Class(root, L"Line", L"Q-LINE");
    auto* ends = Add(root->logical_models, Make<ClumAssociation>(L"Ends"));
    ClumRole* role = Role(ends, L"to", L"Logical View::Line", L"Q-POINT");
    ClumRole* fallback = Role(ends, L"from", L"Logical View::Line", L"Q-NONE");  // the name decides
    // Transitions pair supplier with supplier_quidu and client with client_quidu.
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
    ClumClass_Category* drawing = Category(root, L"Drawing");
    ClumClass* inner = Class(drawing, L"Point");
    ClumClass* shape = Class(drawing, L"Shape");
    auto* bare = Attribute(shape, L"Point");
    auto* relative = Attribute(shape, L"Drawing::Point");
    auto* viaDesign = Attribute(shape, L"Model::Logical View::Point");
    auto* top = Attribute(shape, L"::Logical View::Point");
    auto* nested = Attribute(shape, L"Logical View:Drawing::Point");
    EXPECT_EQ(Sorted(Bind(root)), Sorted({&fallback->quidu, &bare->type, &relative->type, &viaDesign->type}));
    EXPECT_EQ(role->supplier.GetTarget(-1), point);
    EXPECT_EQ(fallback->supplier.GetTarget(-1), line);
    EXPECT_EQ(step->supplier.GetTarget(-1), busy);
    EXPECT_EQ(step->client.GetTarget(-1), done);
    EXPECT_EQ(top->type.GetTarget(-1), point);
    EXPECT_EQ(nested->type.GetTarget(-1), inner);
    EXPECT_EQ(Messages(), Strings{});
}

TEST_F(Resolve, BoundValuesStayListsBindValueByValueAndViewsAndAssociationsAreKeptApart) {
    ClumClass_Category* root = NewModel();
    ClumClass* chosen = Class(root, L"Chosen");
    ClumClass* point = Class(root, L"Point", L"Q-POINT");
    ClumClass* user = Class(root, L"User");
    auto* preset = Attribute(user, L"Logical View::Point");
    preset->type.GetObjectRef(-1)->BindTo(chosen);  // never rebound
    auto* put = Add(user->operations, Make<ClumOperation>(L"put"));
    Write(put->exceptions, L"Logical View::Point, Missing, Logical View::Point");
    auto* get = Add(user->operations, Make<ClumOperation>(L"get"));
    Write(get->exceptions, L"Logical View::Point, Logical View::Point");
    // Only diagram items bind to views and diagrams; a view named after what it shows shares its path.
    Add(root->logical_presentations, Make<ClumClassDiagram>(L"Sketch"));
    ClumClassView* pointView = View(root, L"Logical View::Point", L"Q-VIEW", L"Q-POINT");
    ClumClassView* noteView = View(root, L"", L"Q-NOTE", L"Q-VIEW");
    auto* ends = Add(root->logical_models, Make<ClumAssociation>(L"Ends"));
    ClumRole* toView = Role(ends, L"to", L"", L"Q-VIEW");
    auto* toDiagram = Attribute(user, L"Logical View::Sketch");
    auto* byPath = Attribute(user, L"Logical View::Point");
    // Role suppliers never bind to associations; other references may.
    ClumRole* toAssociation = Role(ends, L"back", L"Logical View::Ends");
    auto* inherits = Add(user->superclasses, Make<ClumInheritance_Relationship>());
    Write(inherits->supplier, L"Logical View::Ends");
    EXPECT_EQ(Sorted(Bind(root)), Sorted({&put->exceptions, &toView->quidu, &toDiagram->type, &toAssociation->supplier}));
    EXPECT_EQ(preset->type.GetTarget(-1), chosen);
    EXPECT_EQ(put->exceptions.GetTarget(0), point);
    EXPECT_EQ(put->exceptions.GetTarget(2), point);
    EXPECT_EQ(byPath->type.GetTarget(-1), point);
    EXPECT_EQ(pointView->quidu.GetTarget(-1), point);
    EXPECT_EQ(noteView->quidu.GetTarget(-1), pointView);
    EXPECT_EQ(inherits->supplier.GetTarget(-1), ends);
    EXPECT_EQ(resolver.GetReferringEntities(chosen), References{&preset->type});
    EXPECT_EQ(resolver.GetReferringEntities(point),
              (References{&pointView->quidu, &get->exceptions, &get->exceptions, &byPath->type}));
    EXPECT_EQ(Messages(), Strings{});
}

// Labels are looked up in the innermost plainly named category of the
// referring object; when that fails the label is taken as a quid.
TEST_F(Resolve, LabelsBindWithinTheInnermostCategory) {
    ClumClass_Category* root = NewModel();
    Class(root, L"Far", L"@12");
    auto* idle = Add(Add(Class(root, L"Machine")->statemachine, Make<ClumState_Machine>(L"Life"))->states,
                     Make<ClumState>(L"Idle", L"@14"));
    ClumClass_Category* inner = Category(root, L"Inner");
    auto* deep = Add(Class(inner, L"Holder")->nestedClasses, Make<ClumClass>(L"Deep"));
    auto* labelled = Add(deep->nestedClasses, Make<ClumClass>(L"Deeper", L"@12"));
    Add(deep->nestedClasses, Make<ClumClass>(L"Twin", L"@13"));
    ClumClass* nearTwin = Class(inner, L"NearTwin", L"@13");
    Class(inner, L"NotAState", L"@14");
    ClumClass* user = Class(inner, L"User");
    auto* single = Attribute(user, L"", L"@12");
    auto* doubled = Attribute(user, L"", L"@13");
    auto* transition = Add(Add(Add(user->statemachine, Make<ClumState_Machine>(L"Own"))->states, Make<ClumState>(L"S"))->transitions,
                           Make<ClumState_Transition>());
    Write(transition->supplier, L"@14");
    EXPECT_EQ(Bind(root), References{});
    EXPECT_EQ(single->quidu.GetTarget(-1), labelled);     // "Far" is nearer but outside the category
    EXPECT_EQ(doubled->quidu.GetTarget(-1), nearTwin);    // two in the category: the nearest by quid
    EXPECT_EQ(transition->supplier.GetTarget(-1), idle);  // the one in the category is no state
    for (const wchar_t* name : {L"", L"Logical View::Elsewhere"}) {  // such categories keep no labels
        resolver.ClearCaches();
        ClumClass_Category* other = NewModel();
        auto* holder = Add(Class(other, L"Holder")->nestedClasses, Make<ClumClass>(L"Deep"));
        Add(holder->nestedClasses, Make<ClumClass>(L"Outer", L"@1"));
        ClumClass_Category* category = Category(other, name);
        ClumClass* inside = Class(category, L"Inside", L"@1");
        auto* user1 = Attribute(Class(category, L"User"), L"", L"@1");
        auto* outside = Attribute(Class(other, L"OutsideUser"), L"", L"@1");
        EXPECT_EQ(Bind(other), References{}) << "category named '" << name << "'";
        EXPECT_EQ(user1->quidu.GetTarget(-1), inside);
        EXPECT_EQ(outside->quidu.GetTarget(-1), inside);  // two "@1" labels: the nearer by quid
    }
    EXPECT_EQ(Messages(), Strings{});
}

// Where a candidate sits relative to the referring role "owner":
//   Model > Logical View > Geo > { Other > cousin,  Holds > { owner > child, sibling } }
// and a class in a model collected before, unrelated to the owner.
TEST_F(Resolve, TheNearestCandidateWins) {
    enum Place { Self, Sibling, Child, Container, Grandparent, GreatGrandparent, Cousin, Unrelated };
    const struct {
        std::vector<Place> holders;  // the objects that carry the quid "Q"
        int winner;                  // index into holders; -1 for a tie
    } cases[] = {
        {{Cousin, Sibling}, 1}, {{Cousin, Child}, 1}, {{Child, Sibling}, 1}, {{Child, Self}, 1},
        {{Child, Grandparent}, 1}, {{Unrelated, Cousin}, 1}, {{Cousin, Container}, 0}, {{Sibling, Grandparent}, -1},
        {{Container, Unrelated}, -1}, {{Child, GreatGrandparent}, -1},
    };
    for (const auto& c : cases) {
        const auto quid = [&](Place place) {
            return std::find(c.holders.begin(), c.holders.end(), place) != c.holders.end() ? L"Q" : L"";
        };
        ClumNameResolver local;
        std::map<Place, const ClumVellumEntity*> at;
        ClumClass_Category* elsewhere = NewModel(L"Elsewhere");
        at[Unrelated] = Class(elsewhere, L"Stray", quid(Unrelated));
        ClumClass_Category* root = NewModel(L"Logical View", quid(GreatGrandparent));
        at[GreatGrandparent] = root;
        ClumClass_Category* geo = Category(root, L"Geo", quid(Grandparent));
        at[Grandparent] = geo;
        at[Cousin] = Role(Add(geo->logical_models, Make<ClumAssociation>(L"Other")), L"cousin", L"", L"", quid(Cousin));
        auto* holds = Add(geo->logical_models, Make<ClumAssociation>(L"Holds", quid(Container)));
        at[Container] = holds;
        ClumRole* owner = Role(holds, L"owner", L"", L"Q", quid(Self));
        at[Self] = owner;
        at[Child] = Add(owner->keys, Make<ClumClassAttribute>(L"child", quid(Child)));
        at[Sibling] = Role(holds, L"sibling", L"", L"", quid(Sibling));
        References unresolved;
        local.CollectAndBind(Top(elsewhere), unresolved);
        local.CollectAndBind(Top(root), unresolved);
        const int index = static_cast<int>(&c - cases);
        EXPECT_EQ(owner->quidu.GetTarget(-1), c.winner >= 0 ? at[c.holders[c.winner]] : nullptr) << "case " << index;
        EXPECT_EQ(unresolved.size(), c.winner >= 0 ? 0u : 1u) << "case " << index;
        EXPECT_EQ(Messages().size(), c.winner >= 0 ? 0u : 3u) << "case " << index;  // the reference, both candidates
        errors.clear();
        models.clear();
    }
}

// Three objects share the path Logical View::Geo::Dup; the reference sits in
// the first, its own container, which ranks after the other two.
TEST_F(Resolve, ATieIsReportedWithTheCandidatesInRankOrder) {
    ClumClass_Category* geo = Category(NewModel(), L"Geo");
    ClumClass* dup = Class(geo, L"Dup");
    Add(geo->logical_models, Make<ClumAssociation>(L"Dup"));
    Add(geo->logical_models, Make<ClumClass_Utility>(L"Dup"));
    auto* operation = Add(dup->operations, Make<ClumOperation>());  // an empty name still counts in the path
    Write(operation->exceptions, L"Missing, Logical View::Geo::Dup");
    EXPECT_EQ(Bind(dup), References{&operation->exceptions});
    EXPECT_EQ(Messages(), (Strings{L"Name resolution: several matches for reference 'Missing,Logical View::Geo::Dup' from "
                                   L"'Operation::exceptions' in context 'Model::Logical View::Geo::Dup::'",
                                   L"    Candidate 'Association Model::Logical View::Geo::Dup'",
                                   L"    Candidate 'Class_Utility Model::Logical View::Geo::Dup'"}));
}

TEST_F(Resolve, LookupsMatchWholePathsAndIndexesServeLaterCallsUntilCleared) {
    ClumClass_Category* root = NewModel(L"Shared");
    ClumClass_Category* geo = Category(root, L"Geo");
    ClumClass* point = Class(geo, L"Point", L"Q-POINT");
    ClumClassView* view = View(geo, L"Shared::Geo::Point", L"@1");
    View(NewModel(L"First"), L"Shared::Geo::Dot", L"Q-DOT");
    Bind(models.back().get());
    // A path known only as the way to another object: handed out empty, filled later.
    const Entities& early = resolver.GetEntitiesWithName(L"Shared::Geo");
    EXPECT_EQ(early, Entities{});
    ClumClass* user = Class(NewModel(L"Client"), L"User");
    auto* byName = Attribute(user, L"Shared::Geo::Point");
    auto* byQuid = Attribute(user, L"", L"Q-POINT");
    EXPECT_EQ(Bind(root), References{});
    EXPECT_EQ(Bind(user), References{});
    EXPECT_EQ(early, Entities{geo});
    EXPECT_EQ(resolver.GetEntitiesWithName(ClumIdent(L"Model")), Entities{});  // designs have no path
    EXPECT_EQ(resolver.GetEntitiesWithName(WString(L"Shared::Geo::Point")), (Entities{point, view}));
    EXPECT_EQ(resolver.GetEntitiesWithName(std::vector<ClumIdent>{L"Shared", L"Geo"}), Entities{geo});
    EXPECT_EQ(resolver.GetEntitiesWithName(L"Geo::Point"), Entities{});
    EXPECT_EQ(resolver.GetEntitiesWithName(L"::Shared::Geo"), Entities{}) << "a leading :: names no object";
    EXPECT_EQ(resolver.GetEntitiesWithQuid(ClumIdent(L"@1")), Entities{view});
    const References& referrers = resolver.GetReferringEntities(point);
    EXPECT_EQ(referrers, (References{&byQuid->quidu, &byName->type}));
    auto* later = Attribute(Class(NewModel(L"Later"), L"Late"), L"", L"Q-POINT");
    Bind(later);
    EXPECT_EQ(referrers, (References{&byQuid->quidu, &byName->type, &later->quidu})) << "a later call adds to it";
    EXPECT_TRUE(resolver.CollectAndBind(&byName->type));
    EXPECT_FALSE(resolver.CollectAndBind(&user->name));
    resolver.ClearCaches();
    EXPECT_EQ(resolver.GetEntitiesWithQuid(ClumIdent(L"Q-POINT")), Entities{});
    EXPECT_EQ(resolver.GetReferringEntities(point), References{});
    byName->type.Unbind(-1);
    Bind(root);
    Bind(root);  // collected twice: a tie with itself
    EXPECT_EQ(Bind(user), References{&byName->type});
    EXPECT_EQ(Messages().size(), 3u);
}

// The same model bound on one thread and cut into parts for four: every
// value binds to the same object, and the unbound references and the
// reports of ties come in the same order.
TEST_F(Resolve, BindingInPartsOnSeveralThreadsGivesWhatOnePassGives) {
    struct tBound {
        std::vector<int> targets;  // per reference value, the index of its target among the objects; -1 unbound
        std::vector<int> unbound;  // the indexes of the unbound references, in the order reported
        Strings messages;
    };
    const auto bindWith = [&](unsigned threads) {
        ClumClass_Category* geo = Category(NewModel(), L"Geo");
        std::vector<const ClumVellumEntity*> objects;
        std::vector<const IlumReference*> references;
        for (int i = 0; i < 40; ++i) {
            const std::wstring name = L"C" + std::to_wstring(i);
            ClumClass* owner = Class(geo, name.c_str(), (L"Q" + name).c_str());
            objects.push_back(owner);
            if (i % 7 == 3) objects.push_back(Add(geo->logical_models, Make<ClumAssociation>(name.c_str())));
            const std::wstring next = L"Logical View::Geo::C" + std::to_wstring((i * 13 + 5) % 40);
            for (const std::wstring& type : {next, std::wstring(L"int"), L"Logical View::Geo::C" + std::to_wstring(i)}) {
                references.push_back(&Attribute(owner, type.c_str())->type);
            }
            references.push_back(&Attribute(owner, L"", (L"QC" + std::to_wstring((i + 1) % 40)).c_str())->quidu);
        }
        ClumNameResolver local;
        local.SetThreads(threads, 1);
        References unresolved;
        local.CollectAndBind(Top(geo), unresolved);
        tBound bound;
        const auto indexOf = [](const auto& list, const auto* item) {
            const auto found = std::find(list.begin(), list.end(), item);
            return found == list.end() ? -1 : static_cast<int>(found - list.begin());
        };
        for (const IlumReference* reference : references) bound.targets.push_back(indexOf(objects, reference->GetTarget(-1)));
        for (const IlumReference* reference : unresolved) bound.unbound.push_back(indexOf(references, reference));
        bound.messages = Messages();
        errors.clear();
        return bound;
    };
    const tBound one = bindWith(1);
    const tBound four = bindWith(4);
    // "int", and the six references to a class that shares its path with an
    // association (from within the class itself, the class is nearer).
    EXPECT_EQ(std::count(one.targets.begin(), one.targets.end(), -1), 40 + 6);
    EXPECT_EQ(one.messages.size(), 6u * 3u);
    EXPECT_EQ(four.targets, one.targets);
    EXPECT_EQ(four.unbound, one.unbound);
    EXPECT_EQ(four.messages, one.messages);
}

// The collecting walk with parts of the tree recorded on other threads and
// indexed in walk order fills the indexes and lists of one walk: the same
// objects under each name path, quid and label, in the same order, and the
// same references gathered, in the same order, each with its context. The
// model repeats names and quids across parts, nests categories (contexts
// for labels), gives a category label references after its nested ones,
// and a class a qualified name.
TEST_F(Resolve, CollectingInPartsOnSeveralThreadsIndexesWhatOneWalkIndexes) {
    ClumClass_Category* top = NewModel();
    std::vector<std::tuple<std::wstring, std::wstring, std::wstring>> keys;  // name path, quid, label context
    for (int i = 0; i < 90; ++i) {
        const std::wstring n = std::to_wstring(i);
        if (i % 9 == 4) {
            ClumClass_Category* outer = Category(top, (L"P" + n).c_str(), (L"@" + n).c_str());
            Class(outer, L"Same", L"QX");
            Class(outer, L"Logical View::P4::Q::Far", L"@2");
            ClumClass_Category* inner = Category(outer, L"Q", L"@1");
            Class(inner, L"Same", L"@2");
            Write(outer->subsystem, L"@1");  // after the nested category: looked up in P
            Write(outer->quidu, L"QX");
        } else {
            ClumClass* owner = Class(top, (L"C" + n).c_str(), i % 4 == 0 ? L"QX" : (L"QC" + n).c_str());
            Attribute(owner, L"Logical View::P4::Same", L"QX");
            Attribute(owner, (L"C" + std::to_wstring((i + 1) % 90)).c_str());
        }
    }
    std::vector<const ClumVellumEntity*> objects, contexts;
    for (const DepthFirst::Step& step : DepthFirst({Top(top)})) {
        objects.push_back(step.entity);
        if (step.entity->GetMetaClass().IsKindOf(&ClumClass_Category::StaticGetMetaClass())) contexts.push_back(step.entity);
    }
    const auto collect = [&](unsigned helpers, bool recordEach) {
        tResolverCache cache;
        tReferenceList& quids = cache.NewReferenceList();
        tReferenceList& others = cache.NewReferenceList();
        ClumNrCollector(cache, quids, others).Visit(Top(top), helpers, recordEach);
        cache.IndexQueued();
        const auto indexOf = [&](const ClumVellumEntity* object) {
            return std::find(objects.begin(), objects.end(), object) - objects.begin();
        };
        std::wostringstream text;
        const auto group = [&](const wchar_t* what, tEntityGroup* found) {
            text << what;
            for (std::size_t i = 0; found != nullptr && i < cache.Size(*found); ++i) text << L" " << indexOf(cache.At(*found, i));
            text << L"\n";
        };
        for (const ClumVellumEntity* object : objects) {
            const std::wstring name = test::Text(ClumUtilityFunctions::GetName(object));
            const std::wstring quid = test::Text(ClumUtilityFunctions::GetQuid(object));
            group((L"quid " + quid).c_str(), cache.FindQuid(ClumIdent(quid.c_str())));
            for (const ClumVellumEntity* context : contexts) group(L"label", cache.FindLabel(context, ClumIdent(quid.c_str())));
            tNamePath path;
            SplitQualifiedName(name.c_str(), name.size(), path);
            if (path.size() == 1) {
                for (const ClumVellumEntity* up = object->Owner(); up != nullptr; up = up->Owner()) {
                    if (!up->GetMetaClass().IsKindOf(&ClumDesign::StaticGetMetaClass())) path.insert(path.begin(), ClumUtilityFunctions::GetName(up));
                }
            }
            const std::uint32_t node = path.empty() ? tResolverCache::Root : cache.FindPath(path);
            group((L"name " + name).c_str(), node == tResolverCache::Root ? nullptr : &cache.Node(node));
        }
        for (tReferenceList* list : {&quids, &others}) {
            for (std::size_t i = 0; i < list->size(); ++i) {
                const tGathered& gathered = (*list)[i];
                text << L"ref " << indexOf(gathered.reference->GetOwner()) << L" " << gathered.value << L" "
                     << indexOf(gathered.context) << L" " << gathered.companion << L"\n";
            }
        }
        return text.str();
    };
    const std::wstring serial = collect(0, false);
    const std::size_t shared = serial.find(L"quid QX ");  // a quid shared across parts
    ASSERT_NE(shared, std::wstring::npos);
    EXPECT_GT(std::count(serial.begin() + shared, serial.begin() + serial.find(L'\n', shared), L' '), 20);
    EXPECT_NE(serial.find(L"\nlabel 1"), std::wstring::npos) << "labels indexed in their categories";
    for (const auto& [helpers, recordEach] : {std::pair{1u, true}, {3u, true}, {1u, false}, {2u, false}}) {
        EXPECT_EQ(collect(helpers, recordEach), serial) << helpers << " helpers, " << (recordEach ? "each part recorded" : "");
    }
}

TEST(ResolveStorage, GroupsKeepOrderAndHandedOutVectorsFollowLaterAdditions) {
    tGroupLists<int, std::uint32_t> lists;
    int objects[8] = {};
    tGroup<int, std::uint32_t> group, empty;
    lists.Add(group, &objects[0], 10);
    const std::vector<const int*>& handed = lists.Published(group);
    const std::vector<const int*>& none = lists.Published(empty);
    for (std::uint32_t i = 1; i < 6; ++i) lists.Add(group, &objects[i], 10 + i);  // past what a record holds inline
    lists.Add(empty, &objects[7], 17);
    ASSERT_EQ(lists.Size(group), 6u);
    for (std::uint32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(lists.At(group, i), &objects[i]);
        EXPECT_EQ(lists.FactAt(group, i), 10 + i);
    }
    EXPECT_EQ(handed.size(), 6u);
    EXPECT_EQ(none, std::vector<const int*>{&objects[7]});
    EXPECT_EQ(lists.FactAt(empty, 0), 17u);
}

TEST_F(Resolve, TheSampleModelBindsEverythingButPrimitiveTypesAndUndeclaredExceptions) {
    const test::fs::path dir = test::fs::path(LUM_SAMPLES_DIR) / "library";
    ClumVirtualPathResolver paths;
    paths.LoadFromFile(test::Wide(dir / "library.map"));
    std::vector<ClumVellumFile*> files;
    ClumManager::LoadModels(errors, {test::Wide(dir / "library.mdl")}, files, units, paths, true);
    for (ClumVellumFile* file : files) models.emplace_back(file);
    ASSERT_TRUE(units.empty());
    CErrorReporter::GetInstance().SetErrorList(errors);
    References unresolved;
    for (const auto& model : models) resolver.CollectAndBind(model.get(), unresolved);
    EXPECT_EQ(Messages(), Strings{});
    std::set<std::wstring> unbound;
    std::set<const IlumReference*> incomplete;
    test::ForEachObject(models[0].get(), [&](ClumVellumEntity* object) {
        for (const ClumMetaFeature* feature : object->GetMetaClass().m_allFeatures) {
            const IlumFeature* member = feature->m_pfnGetFeature(object);
            const IlumReference* reference = member->GetReference();
            if (reference == nullptr || reference->IsEmpty()) continue;
            for (int i = 0; i < reference->GetCount(); ++i) {
                const long index = reference->IsSingle() ? -1 : i;
                const ClumObjectRef* value = reference->GetObjectRef(index);
                WString written;
                reference->EncodeReference(written, index);
                const std::wstring where = test::Text(feature->GetOwner().GetName()) + L"::" + test::Text(feature->GetName()) +
                                           L" " + std::wstring(written);
                if (value->Target() != nullptr) continue;
                unbound.insert(where);
                incomplete.insert(reference);
            }
        }
    });
    EXPECT_EQ(unbound, (std::set<std::wstring>{
                           L"StructuralFeature::type String", L"StructuralFeature::type Integer", L"StructuralFeature::type Date",
                           L"StructuralFeature::type Money", L"StructuralFeature::type Boolean", L"Operation::result Boolean",
                           L"Operation::exceptions LoanLimitReached", L"Operation::exceptions ReservedByOther",
                           L"Operation::exceptions PaymentRefused", L"Operation::exceptions AccountClosed",
                           L"Operation::exceptions RefundNotAllowed"}));
    EXPECT_EQ(std::set<const IlumReference*>(unresolved.begin(), unresolved.end()), incomplete);
    EXPECT_EQ(unresolved.size(), incomplete.size());
}

}  // namespace
}  // namespace lum
