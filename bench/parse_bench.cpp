// Reading a whole model file into objects with ClumParser::Parse.
//
// The benchmarks' common model text (model_text.h) is written once to a
// temporary file.
//
// Benchmarks:
//   ParseFile            ClumParser::Parse of the file into a ClumVellumFile;
//                        deleting the graph afterwards is not timed
// It reports bytes processed (the baseline of the same bytes is ScanMemchr), so the output shows the rate per second.
// ParseFile also reports, for one read before the timed ones:
//   peak_x_file   growth of the resident set's high-water mark (VmHWM) over
//                 the resident size before the read, divided by the file size
//   live_x_file   heap bytes still held by the graph (and the identifier
//                 pool) after the read, divided by the file size
//   objects       model objects in the graph; diagnostics: messages recorded

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <list>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <lum/lum.h>

#include "model_text.h"

namespace {

using lumbench::Join;
using lumbench::ModelText;

// The model written once to a temporary file; removed when the program ends.
class tModelFile {
public:
    tModelFile()
        : m_path(std::filesystem::temp_directory_path() /
                 Join({"lum_parse_bench_", std::to_string(getpid()), ".mdl"})) {
        std::ofstream out(m_path, std::ios::out | std::ios::binary | std::ios::trunc);
        out.write(ModelText().data(), static_cast<std::streamsize>(ModelText().size()));
    }
    ~tModelFile() {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    lum::WString Name() const { return lum::WString(m_path.string().c_str()); }

private:
    std::filesystem::path m_path;
};

const tModelFile& ModelFile() {
    static const tModelFile file;
    return file;
}

void SetThroughput(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(ModelText().size()));
    state.counters["MB"] = static_cast<double>(ModelText().size()) / 1e6;
}


// A field of /proc/self/status in bytes ("VmRSS", "VmHWM"); 0 if unknown.
std::size_t StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(status, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':') {
            return static_cast<std::size_t>(std::stoull(line.substr(length + 1))) * 1024u;
        }
    }
    return 0;
}

// Lets the high-water mark start again from the current resident size.
bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return static_cast<bool>(clear);
}

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

int CountObjects(lum::ClumVellumEntity* root) {
    int count = 1;
    for (const lum::ClumMetaFeature* feature : root->GetMetaClass().m_linkFeatures) {
        const int size = feature->m_pfnLinkSize(root);
        for (int i = 0; i < size; ++i) count += CountObjects(feature->m_pfnLinkGetAt(root, i));
    }
    return count;
}

void ParseFile(benchmark::State& state) {
    lum::InitializeLUM();
    lum::tErrorList errors;
    lum::CErrorReporter::GetInstance().SetErrorList(errors);
    const lum::WString name = ModelFile().Name();
    const double bytes = static_cast<double>(ModelText().size());

    {
        // One read measured for memory before the timed ones.
        malloc_trim(0);
        const std::size_t resident = StatusBytes("VmRSS");
        const bool peakReset = ResetPeak();
        const std::size_t heap = HeapInUse();
        auto* file = new lum::ClumVellumFile();
        std::list<lum::ClumUnitObject*> units;
        lum::ClumParser::Parse(name, *file, units);
        const std::size_t peak = StatusBytes("VmHWM");
        state.counters["live_x_file"] = static_cast<double>(HeapInUse() - heap) / bytes;
        if (peakReset && peak > resident) state.counters["peak_x_file"] = static_cast<double>(peak - resident) / bytes;
        state.counters["objects"] = CountObjects(file);
        state.counters["diagnostics"] = static_cast<double>(errors.size());
        delete file;
    }

    for (auto _ : state) {
        auto* file = new lum::ClumVellumFile();
        std::list<lum::ClumUnitObject*> units;
        lum::ClumParser::Parse(name, *file, units);
        state.PauseTiming();
        delete file;
        state.ResumeTiming();
    }
    SetThroughput(state);
    lum::CErrorReporter::GetInstance().ResetReporter();
    lum::FinalizeLUM();
}
BENCHMARK(ParseFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
