// Rendering every diagram of the generated models as SVG, against loading
// them: drawing all diagrams must take less time than loading the model.
// Loading is what the tool does before any command (reading with sub-units
// and binding); "x_load" is the rendering time over that, the UML view
// built once beforehand and not counted.

#include <chrono>

#include <lum/render/svg.h>
#include <lum/uml/view.h>

#include "stage_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void RenderAllDiagrams(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    const lumbench::tLoadedModel loaded = lumbench::LoadThroughFrontDoor(model);
    const double loadSeconds = loaded.seconds;
    {
        const lum::uml::View& view = lum::uml::View::Of(loaded.model);
        double renderSeconds = 0;
        std::size_t bytes = 0, views = 0;
        for (auto _ : state) {
            const Clock::time_point start = Clock::now();
            bytes = views = 0;
            for (const lum::uml::Element* element : view.All(lum::uml::Kind::Diagram)) {
                const auto& diagram = static_cast<const lum::uml::Diagram&>(*element);
                bytes += lum::render::RenderSvg(diagram).size();
                views += lum::render::ViewCount(diagram);
            }
            renderSeconds += Seconds(start);
        }
        renderSeconds /= static_cast<double>(state.iterations());
        state.counters["load_s"] = loadSeconds;
        state.counters["render_s"] = renderSeconds;
        state.counters["x_load"] = renderSeconds / loadSeconds;
        state.counters["diagrams"] = static_cast<double>(view.Count(lum::uml::Kind::Diagram));
        state.counters["views"] = static_cast<double>(views);
        state.counters["svg_MB"] = static_cast<double>(bytes) / 1e6;
    }
}
BENCHMARK(RenderAllDiagrams)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
