#pragma once
// Ground shared by the hostile-input tests: the size of the big inputs in
// this build, the peak memory of this process, and runs of the tool that
// must end, without a crash or a sanitizer report, within a time bound.

#include <cstddef>
#include <fstream>
#include <string>
#include <vector>

#include "cli/model_text.h"
#include "cli/tool_runner.h"

#if defined(__SANITIZE_ADDRESS__)
#define LUM_ROBUSTNESS_SANITIZED 1
#endif

namespace robustness {

using namespace lumcli::test;

// Optimised builds take the full sizes; unoptimised and sanitized builds a
// tenth of them, which keeps the program to seconds there.
#if defined(NDEBUG) && !defined(LUM_ROBUSTNESS_SANITIZED)
constexpr std::size_t kScale = 1;
#else
constexpr std::size_t kScale = 10;
#endif
constexpr bool kMeasuresMemory = kScale == 1;  // resident sizes mean nothing under the sanitizers

// A name with a number: "P" and 12 give "P12".
inline std::string Numbered(const char* prefix, std::size_t n) {
    std::string name(prefix);
    name += std::to_string(n);
    return name;
}

// Forgets the peak resident size of this process so far.
inline void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The peak resident size of this process since the last reset, in bytes.
inline std::size_t PeakMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    }
    return 0;
}

// Runs the tool, killed after `seconds`, and checks that it ended by itself
// with one of its exit statuses and that no sanitizer complained.
inline tRun RunTool(const std::vector<std::string>& args, const tScratchDir& scratch, int seconds = 120) {
    std::vector<std::string> bounded{"-s", "KILL", std::to_string(seconds), LUM_TOOL};
    bounded.insert(bounded.end(), args.begin(), args.end());
    tRun run = RunProgram("timeout", bounded, scratch);
    EXPECT_TRUE(run.status >= 0 && run.status <= 2) << "lum " << args.front() << " did not end by itself\n"
                                                    << Describe(run).substr(0, 4000);
    EXPECT_FALSE(Contains(run.err, "Sanitizer") || Contains(run.err, "runtime error")) << run.err.substr(0, 4000);
    return run;
}

}  // namespace robustness
