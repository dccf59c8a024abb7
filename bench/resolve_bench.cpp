// Throughput of name resolution.
//
// A model with 1,000,000 reference values is built once in memory, always
// the same: 1,000 packages of 50 classes below the root category. Each class
// carries
//   - 5 attributes typed by a qualified path, each with a quidu (10 values),
//   - 2 attributes typed by a qualified path alone (2),
//   - an association of its own whose 2 roles name their supplier by path
//     and by quidu (4),
//   - a superclass relationship by path and quidu (2),
//   - a view in the package's class diagram, by quidu, whose label refers
//     back to it by @ label (2).
// Paths and quids name classes picked at random over the whole model.
//
// Benchmarks:
//   Walk            a plain walk over the model with TlumMetaVisitor: the
//                   floor under any pass that visits every feature
//   Collect         the resolver's collector alone: the walk plus indexing
//                   and gathering
//   CollectAndBind  a fresh resolver collecting and binding the whole model
// Each reports the reference values of the model per second ("refs/s").

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include <lum/lum.h>

#include "resolve/collector.h"

namespace {

using namespace lum;

constexpr int kPackages = 1000;
constexpr int kClasses = 50;

class tModel {
public:
    tModel() {
        InitializeLUM();
        Build();
    }
    ~tModel() {
        m_pDesign.reset();
        FinalizeLUM();
    }

    const ClumVellumEntity* Root() const { return m_pDesign.get(); }
    long Values() const { return m_nValues; }

    void UnbindAll() {
        for (IlumReference* reference : m_references) {
            if (reference->IsSingle()) reference->Unbind(-1);
            else for (int i = 0; i < reference->GetCount(); ++i) reference->Unbind(i);
        }
    }

private:
    static std::wstring Number(const wchar_t* prefix, int n) { return prefix + std::to_wstring(n); }
    static std::wstring Quid(int package, int cls) { return L"Q" + std::to_wstring(package * kClasses + cls); }
    std::wstring Path(int package, int cls) const {
        return L"Logical View::" + m_packageNames[package] + L"::" + Number(L"C", cls);
    }

    template <class T>
    static T* Make(const std::wstring& name, const std::wstring& quid) {
        T* object = new T;
        if constexpr (requires { object->name; }) object->name.Set(ClumIdent(name.c_str()));
        if (!quid.empty()) object->quid.Set(ClumIdent(quid.c_str()));
        return object;
    }
    template <class T, class Link>
    static T* Add(Link& link, T* object) {
        link.Insert(object, -1);
        return object;
    }
    void Write(IlumReference& reference, const std::wstring& text) {
        reference.Decode(WString(text));
        if (m_references.empty() || m_references.back() != &reference) m_references.push_back(&reference);
        ++m_nValues;
    }

    void Build() {
        for (int p = 0; p < kPackages; ++p) m_packageNames.push_back(Number(L"P", p));
        m_pDesign.reset(Make<ClumDesign>(L"Logical View", L"QDESIGN"));
        auto* root = Add(m_pDesign->root_category, Make<ClumClass_Category>(L"Logical View", L"QROOT"));
        std::mt19937 random(20240601);
        std::uniform_int_distribution<int> anyPackage(0, kPackages - 1), anyClass(0, kClasses - 1);
        // A class picked at random: its path and its quid.
        const auto pick = [&](std::wstring& path, std::wstring& quid) {
            const int p = anyPackage(random), c = anyClass(random);
            path = Path(p, c);
            quid = Quid(p, c);
        };
        std::wstring path, quid;
        for (int p = 0; p < kPackages; ++p) {
            auto* package = Add(root->logical_models, Make<ClumClass_Category>(m_packageNames[p], Number(L"QP", p)));
            auto* diagram = Add(package->logical_presentations, Make<ClumClassDiagram>(L"Main", Number(L"QD", p)));
            for (int c = 0; c < kClasses; ++c) {
                auto* cls = Add(package->logical_models, Make<ClumClass>(Number(L"C", c), Quid(p, c)));
                for (int a = 0; a < 7; ++a) {
                    auto* attribute = Add(cls->class_attributes, Make<ClumClassAttribute>(Number(L"a", a), L""));
                    pick(path, quid);
                    Write(attribute->type, path);
                    if (a < 5) Write(attribute->quidu, quid);
                }
                auto* association = Add(package->logical_models, Make<ClumAssociation>(Number(L"A", c), L""));
                for (int r = 0; r < 2; ++r) {
                    auto* role = Add(association->roles, Make<ClumRole>(Number(L"r", r), L""));
                    pick(path, quid);
                    Write(role->supplier, path);
                    Write(role->quidu, quid);
                }
                auto* superclass = Add(cls->superclasses, Make<ClumInheritance_Relationship>(L"", L""));
                pick(path, quid);
                Write(superclass->supplier, path);
                Write(superclass->quidu, quid);
                const std::wstring label = Number(L"@", c + 1);
                auto* view = Add(diagram->items, Make<ClumClassView>(Path(p, c), label));
                Write(view->quidu, Quid(p, c));
                auto* viewLabel = Add(view->label, Make<ClumItemLabel>(L"", L""));
                Write(viewLabel->Parent_View, label);
            }
        }
    }

    std::vector<std::wstring> m_packageNames;
    std::unique_ptr<ClumDesign> m_pDesign;
    std::vector<IlumReference*> m_references;
    long m_nValues = 0;
};

tModel& Model() {
    static tModel model;
    return model;
}

void SetRate(benchmark::State& state) {
    state.counters["refs"] = static_cast<double>(Model().Values());
    state.counters["refs/s"] = benchmark::Counter(static_cast<double>(Model().Values()) * state.iterations(),
                                                  benchmark::Counter::kIsRate);
}

void Walk(benchmark::State& state) {
    const ClumVellumEntity* root = Model().Root();
    for (auto _ : state) {
        TlumMetaVisitor<const ClumVellumEntity> visitor;
        visitor.Visit(root);
        benchmark::ClobberMemory();
    }
    SetRate(state);
}
BENCHMARK(Walk)->Unit(benchmark::kMillisecond);

void Collect(benchmark::State& state) {
    const ClumVellumEntity* root = Model().Root();
    std::size_t gathered = 0;
    for (auto _ : state) {
        auto cache = std::make_unique<tResolverCache>();
        tReferenceList& quidReferences = cache->NewReferenceList();
        tReferenceList& otherReferences = cache->NewReferenceList();
        ClumNrCollector collector(*cache, quidReferences, otherReferences);
        collector.Visit(root);
        cache->IndexQueued();
        gathered = quidReferences.size() + otherReferences.size();
        state.PauseTiming();  // the indexes are freed outside the measurement
        cache.reset();
        state.ResumeTiming();
    }
    state.counters["features"] = static_cast<double>(gathered);
    SetRate(state);
}
BENCHMARK(Collect)->Unit(benchmark::kMillisecond);

void CollectAndBind(benchmark::State& state) {
    tModel& model = Model();
    std::size_t unbound = 0;
    for (auto _ : state) {
        state.PauseTiming();
        model.UnbindAll();
        auto resolver = std::make_unique<ClumNameResolver>();
        std::vector<const IlumReference*> unresolved;
        state.ResumeTiming();
        resolver->CollectAndBind(model.Root(), unresolved);
        state.PauseTiming();
        unbound = unresolved.size();
        resolver.reset();
        state.ResumeTiming();
    }
    if (unbound != 0) state.SkipWithError("references left unbound");
    SetRate(state);
}
BENCHMARK(CollectAndBind)->Unit(benchmark::kMillisecond);

}  // namespace
