// Reading the generated models (lum_genmodel), at 10, 50 and 100 MB:
//   StageTokenize  the reader loop with a reader that ignores its events,
//                  over every file of the multi-file model in memory
//   StageReadFile  ClumParser::Parse of the single-file model into objects,
//                  on one thread and on two (the second argument)
//   StageLoad      ClumManager::LoadModels of the multi-file model with its
//                  sub-units, as the tool loads it
// Each reports bytes/s, "x_memchr" (time over a memchr scan of the same
// bytes) and, for one run, "heap_x_input" (peak heap growth over the input
// size).

#include <benchmark/benchmark.h>

#include <list>
#include <memory>

#include "stage_support.h"
#include "null_reader.h"

namespace {

using lumbench::Tokenize;

void StageTokenize(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    const auto job = [&] {
        for (const std::string& text : model.texts) Tokenize(text);
    };
    lumbench::TimeStage(state, model, lumbench::Nothing, job, lumbench::Nothing);
}
BENCHMARK(StageTokenize)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void StageReadFile(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)), true);
    lum::WString::SetLocalePage(1252);
    lum::tVellumLexer::SetConvertTextsWhole(true);
    lum::tErrorList errors;
    lum::CErrorReporter::GetInstance().SetErrorList(errors);
    const lum::WString name(model.mainFile.c_str());
    std::unique_ptr<lum::ClumVellumFile> file;
    const auto job = [&] {
        file = std::make_unique<lum::ClumVellumFile>();
        std::list<lum::ClumUnitObject*> units;
        lum::ClumParser::Parse(name, *file, units, static_cast<unsigned>(state.range(1)));
    };
    lumbench::TimeStage(state, model, lumbench::Nothing, job, [&] { file.reset(); });
    lum::CErrorReporter::GetInstance().ResetReporter();
    if (!errors.empty()) state.SkipWithError("the single-file model has diagnostics");
}
BENCHMARK(StageReadFile)->ArgsProduct({{10, 50, 100}, {1, 2}})->Unit(benchmark::kMillisecond)->UseRealTime();

void StageLoad(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    std::vector<lum::ClumVellumFile*> files;
    lumbench::TimeStage(
        state, model, lumbench::Nothing, [&] { files = lumbench::LoadModel(model, state); },
        [&] { lumbench::DeleteModel(files); });
}
BENCHMARK(StageLoad)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
