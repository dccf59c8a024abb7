// Throughput of the Vellum notation reader.
//
// The benchmarks' common model text (model_text.h), in memory.
//
// Benchmarks:
//   ScanMemchr, ScanCount   plain scans of the same bytes, as a baseline
//   TokenizeMemory          the whole reading loop with a reader that does
//                           nothing with its events, from a zero-copy buffer
//   TokenizeFile            the same from a temporary file (binary ifstream)
// Each reports bytes processed, so the output shows the rate per second.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <random>
#include <streambuf>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "lum/reader/vellum_lexer.h"
#include "lum/reader/vellum_reader.h"
#include "model_text.h"
#include "null_reader.h"

namespace {

const std::string& Model() { return lumbench::ModelText(); }

using lumbench::CountLines;
using lumbench::tNullReader;
using lumbench::Tokenize;

void SetThroughput(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(Model().size()));
    state.counters["MB"] = static_cast<double>(Model().size()) / 1e6;
}

void ScanMemchr(benchmark::State& state) {
    const std::string& model = Model();
    for (auto _ : state) {
        benchmark::DoNotOptimize(CountLines(model));
    }
    SetThroughput(state);
}
BENCHMARK(ScanMemchr)->Unit(benchmark::kMillisecond);

void ScanCount(benchmark::State& state) {
    const std::string& model = Model();
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::count(model.begin(), model.end(), '('));
    }
    SetThroughput(state);
}
BENCHMARK(ScanCount)->Unit(benchmark::kMillisecond);

void TokenizeMemory(benchmark::State& state) {
    const std::string& model = Model();
    for (auto _ : state) {
        Tokenize(model);
    }
    SetThroughput(state);
}
BENCHMARK(TokenizeMemory)->Unit(benchmark::kMillisecond);

std::filesystem::path ModelFileName() {
    return std::filesystem::temp_directory_path() / lumbench::Join({"lum_reader_bench_", std::to_string(getpid()), ".mdl"});
}

// The model written once to a temporary file, removed at the end of main.
std::filesystem::path ModelFile() {
    static const std::filesystem::path path = [] {
        const std::filesystem::path file = ModelFileName();
        std::ofstream out(file, std::ios::out | std::ios::binary | std::ios::trunc);
        out.write(Model().data(), static_cast<std::streamsize>(Model().size()));
        return file;
    }();
    return path;
}

void TokenizeFile(benchmark::State& state) {
    const std::filesystem::path file = ModelFile();
    for (auto _ : state) {
        std::ifstream in(file, std::ios::in | std::ios::binary);
        if (!in) {
            state.SkipWithError("cannot open the temporary model file");
            break;
        }
        lum::tVellumLexer lexer(in);
        tNullReader reader;
        reader.Run(lexer);
        benchmark::DoNotOptimize(lexer.GetLine());
    }
    SetThroughput(state);
}
BENCHMARK(TokenizeFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove(ModelFileName(), ignored);
    return 0;
}
