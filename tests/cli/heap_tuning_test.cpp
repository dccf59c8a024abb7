// The heap tuning changes where the model's memory comes from, never what is
// read: the tool reports the same with it and without (LUM_HEAP_TUNING=0),
// on the sample and, where the generator is built, a generated model.

#include "cli/tool_runner.h"

namespace lumcli::test {
namespace {

// `out` without its timing lines ("read 0.01 s (... MB/s)").
std::string WithoutTimings(const std::string& out) {
    std::string kept;
    for (const std::string& line : LinesWith(out)) {
        if (!line.starts_with("read ")) kept.append(line).append("\n");
    }
    return kept;
}

TEST(HeapTuningTest, TunedAndUntunedRunsReportTheSame) {
    const tScratchDir scratch;
    const std::string samples = LUM_SAMPLES_DIR;
    std::vector<std::vector<std::string>> models = {
        {samples + "/library/library.mdl", "--pathmap", samples + "/library/library.map"}};
#ifdef LUM_GENMODEL
    ASSERT_EQ(scratch.Run(LUM_GENMODEL, {"--size", "10", "--out", "gen"}).status, 0);
    models.push_back({(scratch / "gen/model.mdl").string(), "--pathmap", (scratch / "gen/model.map").string()});
#endif
    for (const std::vector<std::string>& model : models) {
        for (const std::vector<std::string>& command : {std::vector<std::string>{"check"}, {"export", "--compact"}}) {
            std::vector<std::string> args = command;
            args.insert(args.end(), model.begin(), model.end());
            const tRun tuned = scratch.Lum(args);
            args.insert(args.begin(), {"LUM_HEAP_TUNING=0", LUM_TOOL});
            const tRun untuned = scratch.Run("env", args);
            EXPECT_EQ(tuned.status, untuned.status) << Describe(tuned);
            EXPECT_GT(tuned.out.size(), 100u) << Describe(tuned);
            EXPECT_EQ(WithoutTimings(tuned.out), WithoutTimings(untuned.out)) << model.front() << " " << command[0];
        }
    }
}

}  // namespace
}  // namespace lumcli::test
