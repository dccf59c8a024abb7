// Writing the generated models back: the whole model split into its unit
// files on disk (against StageLoad, which reads them), with and without
// flushing each file to disk (the second argument), and the single-file
// model written into memory (against StageReadFile); and the model loaded
// through the front door exported as compact JSON into memory, on the
// threads the second argument gives (0: one per core).

#include <filesystem>
#include <memory>
#include <streambuf>

#include <lum/json/export.h>
#include <lum/write/file_writer.h>
#include <lum/write/write_back.h>

#include "stage_support.h"

namespace {

struct tCountingSink : lum::write::ByteSink {
    std::size_t bytes = 0;
    bool Write(const char*, std::size_t count) override {
        bytes += count;
        return true;
    }
};

void StageWriteModel(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    std::vector<lum::ClumVellumFile*> files = lumbench::LoadModel(model, state);
    const std::filesystem::path out = std::filesystem::temp_directory_path() / "lum_stage_write";
    lum::write::Options options;
    options.outputDir = lum::WString(out.wstring());
    options.codePage = 1252;
    options.flushToDisk = state.range(1) != 0;
    bool ok = true;
    lumbench::TimeStage(
        state, model, [&] { std::filesystem::remove_all(out); },
        [&] { ok = lum::write::WriteBack(files, options).ok && ok; }, lumbench::Nothing);
    std::filesystem::remove_all(out);
    lumbench::DeleteModel(files);
    if (!ok) state.SkipWithError("the model could not be written");
}
BENCHMARK(StageWriteModel)->Args({10, 0})->Args({10, 1})->Args({100, 0})->Args({100, 1})->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void StageWriteFile(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)), true);
    lum::WString::SetLocalePage(1252);
    lum::tVellumLexer::SetConvertTextsWhole(true);
    lum::tErrorList errors;
    lum::CErrorReporter::GetInstance().SetErrorList(errors);
    lum::ClumVellumFile file;
    std::list<lum::ClumUnitObject*> units;
    lum::ClumParser::Parse(lum::WString(model.mainFile.c_str()), file, units);
    lum::CErrorReporter::GetInstance().ResetReporter();
    lum::write::FileOptions options;
    options.codePage = 1252;
    options.setAside = &file.setAside;
    tCountingSink sink;
    lumbench::TimeStage(
        state, model, lumbench::Nothing, [&] { lum::write::WriteFile(file, sink, options); }, lumbench::Nothing);
    state.counters["written_MB"] = static_cast<double>(sink.bytes) / 1e6 / static_cast<double>(state.iterations());
}
BENCHMARK(StageWriteFile)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

// A stream buffer that counts what it is given and keeps nothing.
struct tCountingBuffer : std::streambuf {
    std::size_t bytes = 0;
    std::streamsize xsputn(const char*, std::streamsize count) override {
        bytes += static_cast<std::size_t>(count);
        return count;
    }
    int_type overflow(int_type c) override {
        ++bytes;
        return c;
    }
};

void StageExportJson(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    const lumbench::tLoadedModel loaded = lumbench::LoadThroughFrontDoor(model);
    tCountingBuffer buffer;
    std::ostream out(&buffer);
    const lum::json::Options options{.compact = true, .threads = static_cast<unsigned>(state.range(1))};
    lumbench::TimeStage(
        state, model, lumbench::Nothing, [&] { lum::json::WriteJson(loaded.model, out, options); },
        lumbench::Nothing);
    state.counters["written_MB"] = static_cast<double>(buffer.bytes) / 1e6 / static_cast<double>(state.iterations());
}
BENCHMARK(StageExportJson)->Args({10, 0})->Args({100, 0})->Args({100, 1})->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
