// Comparing two versions of the generated models, against loading one: the
// second version is the first with lum_genmodel's seeded edits (200 of them),
// written next to the cached model. "x_load" is the comparison's time over
// the loading time; the tool's `lum diff` loads both versions side by side
// and adds the comparison (BENCHMARKS.md, the `lum diff` rows).

#include <chrono>
#include <filesystem>

#include <lum/diff/diff.h>

#include "model_generator.h"
#include "stage_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void DiffCompare(benchmark::State& state) {
    const int megabytes = static_cast<int>(state.range(0));
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(megabytes);
    genmodel::tGenerateOptions options;
    options.bytes = static_cast<std::size_t>(megabytes) * 1'000'000u;
    options.directory = model.directory + "_edited";
    options.edits = 200;
    std::filesystem::remove_all(options.directory);
    const std::size_t expected = genmodel::GenerateModel(options).changes.size();

    const lumbench::tLoadedModel before = lumbench::LoadThroughFrontDoor(model);
    lumbench::tGeneratedModel edited = model;
    edited.mainFile = options.directory + "/model.mdl";
    const lumbench::tLoadedModel after = lumbench::LoadThroughFrontDoor(edited);
    Clock::time_point start = Clock::now();
    lum::uml::View::Of(before.model);
    lum::uml::View::Of(after.model);
    const double viewSeconds = Seconds(start) / 2;

    double compareSeconds = 0;
    std::size_t changes = 0;
    for (auto _ : state) {
        start = Clock::now();
        changes = lum::diff::Compare(lum::uml::View::Of(before.model), lum::uml::View::Of(after.model)).size();
        compareSeconds += Seconds(start);
    }
    compareSeconds /= static_cast<double>(state.iterations());
    state.counters["load_s"] = before.seconds;
    state.counters["view_s"] = viewSeconds;
    state.counters["compare_s"] = compareSeconds;
    state.counters["x_load"] = compareSeconds / before.seconds;
    state.counters["changes"] = static_cast<double>(changes);  // of elements; "edits" counts fields
    state.counters["edits"] = static_cast<double>(expected);
}
BENCHMARK(DiffCompare)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
