// Building the UML view of the generated models, against loading them: the
// view must take well under a quarter of the loading time. Loading here is
// what the tool does before any command (reading with sub-units and
// binding); "x_load" is the view's time over that.

#include <chrono>

#include <lum/uml/view.h>

#include "stage_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void UmlBuildView(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    const lumbench::tLoadedModel loaded = lumbench::LoadThroughFrontDoor(model);
    const double loadSeconds = loaded.seconds;

    double viewSeconds = 0;
    std::size_t elements = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        lum::uml::View view = lum::uml::View::Build(loaded.model.Files());
        viewSeconds += Seconds(start);
        state.PauseTiming();
        elements = 0;
        for (int k = 0; k < lum::uml::kKindCount; ++k) elements += view.Count(static_cast<lum::uml::Kind>(k));
        state.ResumeTiming();
    }
    viewSeconds /= static_cast<double>(state.iterations());
    state.counters["load_s"] = loadSeconds;
    state.counters["view_s"] = viewSeconds;
    state.counters["x_load"] = viewSeconds / loadSeconds;
    state.counters["elements"] = static_cast<double>(elements);
}
BENCHMARK(UmlBuildView)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
