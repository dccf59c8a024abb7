#include "stage_support.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include <unistd.h>

#include "model_generator.h"
#include "null_reader.h"

namespace lumbench {

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kSeed = 1;
// Part of the cache directory's name: raise it when the generator changes.
constexpr int kGeneratorVersion = 1;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The directory's model, generated unless a complete one is there already.
tGeneratedModel Prepare(int megabytes, bool singleFile) {
    const fs::path directory = fs::temp_directory_path() /
                               ("lum_genmodel_v" + std::to_string(kGeneratorVersion) + "_" + std::to_string(megabytes) +
                                "mb_seed" + std::to_string(kSeed) + (singleFile ? "_single" : ""));
    const fs::path stamp = directory / "complete";
    if (!fs::exists(stamp)) {
        fs::remove_all(directory);
        genmodel::tGenerateOptions options;
        options.bytes = static_cast<std::size_t>(megabytes) * 1'000'000u;
        options.directory = directory.string();
        options.seed = kSeed;
        options.singleFile = singleFile;
        genmodel::GenerateModel(options);
        std::ofstream(stamp) << "complete\n";
    }
    tGeneratedModel model;
    model.directory = directory.string();
    model.mainFile = (directory / "model.mdl").string();
    model.mapFile = (directory / "model.map").string();
    model.texts.push_back(ReadAll(model.mainFile));
    std::vector<fs::path> units;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        if (entry.path().extension() == ".cat") units.push_back(entry.path());
    }
    std::sort(units.begin(), units.end());
    for (const fs::path& unit : units) model.texts.push_back(ReadAll(unit));
    for (const std::string& text : model.texts) model.bytes += text.size();
    return model;
}

double MemchrSeconds(const tGeneratedModel& model) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        std::size_t lines = 0;
        for (const std::string& text : model.texts) lines += CountLines(text);
        benchmark::DoNotOptimize(lines);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

}  // namespace

const tGeneratedModel& GeneratedModel(int megabytes, bool singleFile) {
    static const bool initialized = (lum::InitializeLUM(), true);  // the metamodel, for the whole run
    benchmark::DoNotOptimize(initialized);
    static std::map<std::pair<int, bool>, std::unique_ptr<tGeneratedModel>> models;
    std::unique_ptr<tGeneratedModel>& model = models[{megabytes, singleFile}];
    if (!model) model = std::make_unique<tGeneratedModel>(Prepare(megabytes, singleFile));
    return *model;
}

std::vector<lum::ClumVellumFile*> LoadModel(const tGeneratedModel& model, benchmark::State& state) {
    lum::WString::SetLocalePage(1252);
    lum::tVellumLexer::SetConvertTextsWhole(true);
    lum::ClumVirtualPathResolver paths;
    paths.LoadFromFile(lum::WString(model.mapFile.c_str()));
    lum::tErrorList errors;
    std::vector<lum::ClumVellumFile*> files;
    std::list<lum::ClumUnitObject*> missing;
    lum::ClumManager::LoadModels(errors, {lum::WString(model.mainFile.c_str())}, files, missing, paths, true);
    const bool failed = std::any_of(errors.begin(), errors.end(),
                                    [](const lum::tError& e) { return e.severity >= lum::tError::Error; });
    if (!missing.empty() || failed) state.SkipWithError("the generated model did not load cleanly");
    return files;
}

void DeleteModel(std::vector<lum::ClumVellumFile*>& files) {
    for (lum::ClumVellumFile* file : files) delete file;
    files.clear();
}

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    if (!(statm >> size >> resident)) return 0;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

void tHeapProbe::Begin() {
    m_start = HeapLive();
    ResetHeapPeak();
}

void tHeapProbe::End() { m_peak = HeapPeak(); }

void tHeapProbe::Report(benchmark::State& state, std::size_t inputBytes) const {
    state.counters["heap_x_input"] = static_cast<double>(m_peak - m_start) / static_cast<double>(inputBytes);
}

void ReportAgainstBaseline(benchmark::State& state, const tGeneratedModel& model, double secondsPerIteration) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(model.bytes));
    state.counters["MB"] = static_cast<double>(model.bytes) / 1e6;
    state.counters["x_memchr"] = secondsPerIteration / MemchrSeconds(model);
}

tLoadedModel LoadThroughFrontDoor(const tGeneratedModel& model) {
    const auto start = std::chrono::steady_clock::now();
    lum::LoadOptions options;
    options.pathMaps.push_back(model.mapFile);
    lum::Model loaded = lum::Model::Load({model.mainFile}, options);
    return {std::move(loaded), std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}

}  // namespace lumbench
