// Reading the generated models (lum_genmodel), at 10, 50 and 100 MB:
//   StageTokenize  the reader loop with a reader that ignores its events,
//                  over every file of the multi-file model in memory
//   StageReadFile  ClumParser::Parse of the single-file model into objects
//   StageLoad      ClumManager::LoadModels of the multi-file model with its
//                  sub-units, as the tool loads it
// Each reports bytes/s, "x_memchr" (time over a memchr scan of the same
// bytes) and, for one run, "heap_x_input" (peak heap growth over the input
// size).

#include <benchmark/benchmark.h>

#include <chrono>
#include <istream>
#include <list>
#include <streambuf>

#include "lum/reader/vellum_lexer.h"
#include "lum/reader/vellum_reader.h"
#include "stage_support.h"
#include "null_reader.h"

namespace {

using Clock = std::chrono::steady_clock;

using lumbench::tMemoryBuffer;
using lumbench::tNullReader;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

void StageTokenize(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    lumbench::tHeapProbe memory;
    double seconds = 0;
    bool first = true;
    for (auto _ : state) {
        if (first) memory.Begin();
        const Clock::time_point start = Clock::now();
        for (const std::string& text : model.texts) {
            tMemoryBuffer buffer(text.data(), text.size());
            std::istream in(&buffer);
            lum::tVellumLexer lexer(in);
            tNullReader reader;
            reader.Run(lexer);
            benchmark::DoNotOptimize(lexer.GetLine());
        }
        seconds += Since(start);
        if (first) memory.End();
        first = false;
    }
    memory.Report(state, model.bytes);
    lumbench::ReportAgainstBaseline(state, model, seconds / static_cast<double>(state.iterations()));
}
BENCHMARK(StageTokenize)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void StageReadFile(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)), true);
    lum::WString::SetLocalePage(1252);
    lum::tVellumLexer::SetConvertTextsWhole(true);
    lum::tErrorList errors;
    lum::CErrorReporter::GetInstance().SetErrorList(errors);
    const lum::WString name(model.mainFile.c_str());
    lumbench::tHeapProbe memory;
    double seconds = 0;
    bool first = true;
    for (auto _ : state) {
        if (first) memory.Begin();
        const Clock::time_point start = Clock::now();
        auto* file = new lum::ClumVellumFile();
        std::list<lum::ClumUnitObject*> units;
        lum::ClumParser::Parse(name, *file, units);
        seconds += Since(start);
        if (first) memory.End();
        first = false;
        state.PauseTiming();
        delete file;
        state.ResumeTiming();
    }
    lum::CErrorReporter::GetInstance().ResetReporter();
    if (!errors.empty()) state.SkipWithError("the single-file model has diagnostics");
    memory.Report(state, model.bytes);
    lumbench::ReportAgainstBaseline(state, model, seconds / static_cast<double>(state.iterations()));
}
BENCHMARK(StageReadFile)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void StageLoad(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    lumbench::tHeapProbe memory;
    double seconds = 0;
    bool first = true;
    for (auto _ : state) {
        if (first) memory.Begin();
        const Clock::time_point start = Clock::now();
        std::vector<lum::ClumVellumFile*> files = lumbench::LoadModel(model, state);
        seconds += Since(start);
        if (first) memory.End();
        first = false;
        state.PauseTiming();
        lumbench::DeleteModel(files);
        state.ResumeTiming();
    }
    memory.Report(state, model.bytes);
    lumbench::ReportAgainstBaseline(state, model, seconds / static_cast<double>(state.iterations()));
}
BENCHMARK(StageLoad)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
