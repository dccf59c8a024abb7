#pragma once
// What the stage benchmarks (lum_stage_bench) share: the generated models,
// made once per process with lum_genmodel's generator under /tmp and reused
// by later runs (cached by size, seed and generator version); their bytes in
// memory for the baseline; the memchr baseline itself; and the peak heap
// from the counting allocator in heap_counter.cpp.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include <lum/lum.h>

namespace lumbench {

// A generated model on disk and its files' bytes in memory.
struct tGeneratedModel {
    std::string directory;
    std::string mainFile;  // absolute
    std::string mapFile;
    std::vector<std::string> texts;  // every model file, main file first
    std::size_t bytes = 0;
};

// The multi-file model of about `megabytes` MB, or its single-file twin.
// The first call also initializes the library for the rest of the run.
const tGeneratedModel& GeneratedModel(int megabytes, bool singleFile = false);

// The model read with its sub-units the way the tool reads it (code page
// 1252, texts converted whole, the model's path map); the caller owns the
// files. Skips the benchmark unless every unit file loaded without errors.
std::vector<lum::ClumVellumFile*> LoadModel(const tGeneratedModel& model, benchmark::State& state);
void DeleteModel(std::vector<lum::ClumVellumFile*>& files);

// The model loaded and bound through the front door, as the tool loads it,
// with the seconds that took.
struct tLoadedModel {
    lum::Model model;
    double seconds;
};
tLoadedModel LoadThroughFrontDoor(const tGeneratedModel& model);

// Measures the peak heap growth of one run of a job, counted by the global
// allocator of heap_counter.cpp. (The resident set is no measure inside this
// process: memory freed by earlier benchmarks stays resident and is reused;
// StageCheckTool gives the tool's peak resident set.)
class tHeapProbe {
public:
    void Begin();
    void End();
    // Sets "heap_x_input": the growth over the input size.
    void Report(benchmark::State& state, std::size_t inputBytes) const;

private:
    std::size_t m_start = 0, m_peak = 0;
};

// The process's resident set now, in bytes (0 where the system does not tell).
std::size_t ResidentBytes();

// The counting allocator's live heap bytes, and their highest value since
// ResetHeapPeak.
std::size_t HeapLive();
std::size_t HeapPeak();
void ResetHeapPeak();

// Sets "MB", bytes processed, and "x_memchr": the seconds of one iteration
// over the seconds of a memchr scan of the same bytes, timed here.
void ReportAgainstBaseline(benchmark::State& state, const tGeneratedModel& model, double secondsPerIteration);

// The loop of every stage: per iteration `before` runs untimed, then `job`
// is timed, then `after` runs untimed; the heap is probed over the first
// job. Reports the memory and the ratio to the baseline, and returns the
// seconds of all jobs.
template <class Before, class Job, class After>
double TimeStage(benchmark::State& state, const tGeneratedModel& model, Before before, Job job, After after) {
    using Clock = std::chrono::steady_clock;
    tHeapProbe memory;
    double seconds = 0;
    bool first = true;
    for (auto _ : state) {
        state.PauseTiming();
        before();
        if (first) memory.Begin();
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        job();
        seconds += std::chrono::duration<double>(Clock::now() - start).count();
        state.PauseTiming();
        if (first) memory.End();
        first = false;
        after();
        state.ResumeTiming();
    }
    memory.Report(state, model.bytes);
    ReportAgainstBaseline(state, model, seconds / static_cast<double>(state.iterations()));
    return seconds;
}

// For stages with nothing to do around the job.
inline void Nothing() {}

}  // namespace lumbench
