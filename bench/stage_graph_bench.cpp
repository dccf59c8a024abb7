// Working on the loaded multi-file model (lum_genmodel), at 10, 50 and 100 MB:
//   StageBind    a fresh ClumNameResolver's CollectAndBind over every file,
//                all references unbound before each run ("refs/s": reference
//                values of the model per second), on one thread and on one
//                per core (threads 1 and 0)
//   StagePrint   ClumPrettyPrinter::Print of every file to a stream that
//                drops its text
//   StageDelete  TreeRemover::DeleteTree of every file (the model is read
//                again, untimed, before each run)
// Each reports the model's bytes per second, "x_memchr" (time over a memchr
// scan of the same bytes) and, for one run, "heap_x_input" (peak heap growth
// over the input size); StageBind also "rss_growth_x_input" (the resident
// set's growth while binding, over the input size).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <streambuf>

#include "stage_support.h"

namespace {

// Every reference feature holding a value, and the number of values.
class tReferenceGatherer : public lum::TlumMetaVisitor<lum::ClumVellumEntity> {
public:
    void VisitMetaFeature(const lum::ClumMetaFeature* feature, lum::ClumVellumEntity* entity) override {
        if (feature->GetKind() == lum::ClumMetaFeature::eReference && feature->m_pfnGetFeature != nullptr) {
            lum::IlumFeature* member = feature->m_pfnGetFeature(entity);
            lum::IlumReference* reference = member != nullptr ? member->GetReference() : nullptr;
            if (reference != nullptr && !reference->IsEmpty()) {
                references.push_back(reference);
                values += reference->IsSingle() ? 1 : reference->GetCount();
            }
        }
        TlumMetaVisitor::VisitMetaFeature(feature, entity);
    }

    std::vector<lum::IlumReference*> references;
    long values = 0;
};

// The model of one size, loaded once and kept while benchmarks of that
// size run.
struct tLoaded {
    int megabytes = 0;
    std::vector<lum::ClumVellumFile*> files;
    tReferenceGatherer gathered;
    ~tLoaded() { lumbench::DeleteModel(files); }
};

tLoaded& Loaded(int megabytes, benchmark::State& state) {
    static std::unique_ptr<tLoaded> loaded;
    if (!loaded || loaded->megabytes != megabytes) {
        loaded.reset();
        loaded = std::make_unique<tLoaded>();
        loaded->megabytes = megabytes;
        loaded->files = lumbench::LoadModel(lumbench::GeneratedModel(megabytes), state);
        for (lum::ClumVellumFile* file : loaded->files) loaded->gathered.Visit(file);
    }
    return *loaded;
}

// Unbinds every value that was bound by name (values made from an object,
// as fonts are, keep their target: they have no text to bind by).
void UnbindAll(const tReferenceGatherer& gathered) {
    for (lum::IlumReference* reference : gathered.references) {
        const long first = reference->IsSingle() ? -1 : 0;
        const long end = reference->IsSingle() ? 0 : reference->GetCount();
        for (long i = first; i < end; ++i) {
            const lum::ClumObjectRef* value = reference->GetObjectRef(i);
            if (value != nullptr && value->GetKind() != lum::ClumObjectRef::eFromObject) reference->Unbind(i);
        }
    }
}

void StageBind(benchmark::State& state) {
    const int megabytes = static_cast<int>(state.range(0));
    const auto threads = static_cast<unsigned>(state.range(1));
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(megabytes);
    tLoaded& loaded = Loaded(megabytes, state);
    lum::tErrorList errors;
    lum::CErrorReporter::GetInstance().SetErrorList(errors);
    std::unique_ptr<lum::ClumNameResolver> resolver;
    std::vector<const lum::IlumReference*> unresolved;
    std::size_t unbound = 0;
    // The resolver keeps its indexes in large blocks mapped on their own,
    // which the counting allocator does not see: the resident set before and
    // after the job shows them (the largest growth of the runs).
    std::size_t residentBefore = 0, resolverBytes = 0;
    const auto before = [&] {
        UnbindAll(loaded.gathered);
        resolver = std::make_unique<lum::ClumNameResolver>();
        resolver->SetThreads(threads);
        unresolved.clear();
        residentBefore = lumbench::ResidentBytes();
    };
    const auto job = [&] {
        for (lum::ClumVellumFile* file : loaded.files) resolver->CollectAndBind(file, unresolved);
    };
    const auto after = [&] {
        const std::size_t residentAfter = lumbench::ResidentBytes();
        if (residentAfter > residentBefore) resolverBytes = std::max(resolverBytes, residentAfter - residentBefore);
        unbound = unresolved.size();
        resolver.reset();
    };
    const double seconds = lumbench::TimeStage(state, model, before, job, after);
    lum::CErrorReporter::GetInstance().ResetReporter();
    const double values = static_cast<double>(loaded.gathered.values);
    state.counters["refs"] = values;
    state.counters["unbound"] = static_cast<double>(unbound);
    state.counters["rss_growth_x_input"] = static_cast<double>(resolverBytes) / static_cast<double>(model.bytes);
    state.counters["refs/s"] = values * static_cast<double>(state.iterations()) / seconds;
}
BENCHMARK(StageBind)
    ->ArgsProduct({{10, 50, 100}, {1, 0}})
    ->ArgNames({"MB", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// A wide stream buffer that drops what it is given.
class tNullBuffer : public std::wstreambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char_type*, std::streamsize count) override { return count; }
};

void StagePrint(benchmark::State& state) {
    const int megabytes = static_cast<int>(state.range(0));
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(megabytes);
    tLoaded& loaded = Loaded(megabytes, state);
    tNullBuffer buffer;
    std::wostream out(&buffer);
    const auto job = [&] {
        for (const lum::ClumVellumFile* file : loaded.files) lum::ClumPrettyPrinter::Print(file, out);
    };
    lumbench::TimeStage(state, model, lumbench::Nothing, job, lumbench::Nothing);
}
BENCHMARK(StagePrint)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void StageDelete(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    std::vector<lum::ClumVellumFile*> files;
    lumbench::TimeStage(
        state, model, [&] { files = lumbench::LoadModel(model, state); },
        [&] {
            for (lum::ClumVellumFile* file : files) lum::TreeRemover().DeleteTree(file);
        },
        lumbench::Nothing);
}
BENCHMARK(StageDelete)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
