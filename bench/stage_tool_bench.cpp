// The tool end to end: "lum check MODEL --pathmap MAP" on the generated
// multi-file model (lum_genmodel) at 10, 50 and 100 MB, run as a child
// process. Reports its wall time (as the benchmark time), the model's bytes
// per second, "x_memchr" (time over a memchr scan of the same bytes, timed
// in this process), "cpu_s": the child's processor seconds (user and
// system) per run, which drift less than wall time on a loaded machine, and
// "rss_x_input": the child's peak resident set over the size of the model
// files (its high-water mark, read from /proc while it runs).

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>

#include "stage_support.h"

namespace {

struct tChildRun {
    double seconds = 0;     // wall
    double cpuSeconds = 0;  // user and system
    long peakKilobytes = 0;
};

double Seconds(const timeval& time) { return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6; }

// Runs the tool; false if it could not run or did not exit with 0.
bool RunCheck(const lumbench::tGeneratedModel& model, tChildRun& run) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        const char* const arguments[] = {LUM_TOOL_PATH, "check", model.mainFile.c_str(), "--pathmap",
                                         model.mapFile.c_str(), nullptr};
        execv(LUM_TOOL_PATH, const_cast<char* const*>(arguments));
        _exit(127);
    }
    // The child's own peak: ru_maxrss would count this process's pages that
    // the child had before exec, so its high-water mark is read from /proc
    // until it exits (every 2 ms; the mark never falls).
    const std::string status = "/proc/" + std::to_string(child) + "/status";
    int exitStatus = 0;
    struct rusage usage {};
    for (;;) {
        const pid_t done = wait4(child, &exitStatus, WNOHANG, &usage);
        if (done == child) break;
        if (done < 0) return false;
        std::ifstream in(status);
        std::string line;
        while (std::getline(in, line)) {
            if (line.rfind("VmHWM:", 0) == 0) run.peakKilobytes = std::stol(line.substr(6));
        }
        usleep(2000);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    return WIFEXITED(exitStatus) && WEXITSTATUS(exitStatus) == 0;
}

void StageCheckTool(benchmark::State& state) {
    const lumbench::tGeneratedModel& model = lumbench::GeneratedModel(static_cast<int>(state.range(0)));
    double total = 0, cpu = 0;
    long peak = 0;
    for (auto _ : state) {
        tChildRun run;
        if (!RunCheck(model, run)) {
            state.SkipWithError("lum check failed on the generated model");
            break;
        }
        state.SetIterationTime(run.seconds);
        total += run.seconds;
        cpu += run.cpuSeconds;
        peak = std::max(peak, run.peakKilobytes);
    }
    state.counters["cpu_s"] = cpu / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
    state.counters["rss_x_input"] = static_cast<double>(peak) * 1024.0 / static_cast<double>(model.bytes);
    lumbench::ReportAgainstBaseline(state, model, total / static_cast<double>(std::max<std::int64_t>(1, state.iterations())));
}
BENCHMARK(StageCheckTool)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
