// A model in which every reference ties: each names a class that two
// classes of one package share. Every reference is reported as ambiguous
// with both candidates, none is bound, and binding stays fast.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "robustness/hostile_support.h"

namespace robustness {
namespace {

constexpr std::size_t kReferences = 10000 / kScale;

std::string Quid(std::size_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "5D%010zX", n);
    return text;
}

TEST(AmbiguityTest, EveryTieIsReportedWithItsCandidatesAndNothingIsBound) {
    tScratchDir scratch;
    std::string models;
    for (std::size_t i = 0; i < kReferences; ++i) {
        const std::string name = Numbered("D", i);
        models += ClassText(name, Quid(3 * i)) + ClassText(name, Quid(3 * i + 1)) +
                  ClassText(Numbered("R", i), Quid(3 * i + 2),
                            SuperclassText(Quid(3 * kReferences + i), "Logical View::" + name, ""));
    }
    const std::string main = scratch.Write("ties.mdl", MainFile(models));

    const auto started = std::chrono::steady_clock::now();
    const tRun run = RunTool({"check", main}, scratch);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%zu ties checked in %.1f s\n", kReferences, seconds);
    // Ties are warnings: the model is usable.
    EXPECT_EQ(run.status, 0) << Describe(run).substr(0, 4000);
    const std::string n = std::to_string(kReferences);
    EXPECT_TRUE(Contains(run.out, "\nreferences: 0 bound, 0 naming nothing, 0 into missing units, 0 unmodelled types, " + n + " dangling (" + n + " ambiguous)\n")) << run.out.substr(0, 4000);

    // Each tie, in the order of the model: the reference, then both
    // candidates on lines of their own.
    const std::vector<std::string> lines = tRun::Lines(run.out);
    ASSERT_GT(lines.size(), 3 * kReferences);
    for (std::size_t i = 0; i < kReferences; ++i) {
        const std::string d = "Logical View::" + Numbered("D", i);
        const std::string candidate = "Warning:     Candidate 'Class Logical View::" + d + "'";
        ASSERT_EQ(lines[1 + 3 * i], "Warning: Name resolution: several matches for reference '" + d +
                                        "' from 'Relationship::supplier' in context 'Logical View::Logical View::" +
                                        Numbered("R", i) + "'");
        ASSERT_EQ(lines[2 + 3 * i], candidate);
        ASSERT_EQ(lines[3 + 3 * i], candidate);
    }

    const tRun unresolved = RunTool({"refs", "--unresolved", main}, scratch);
    EXPECT_EQ(tRun::Lines(unresolved.out).size(), kReferences);
}

}  // namespace
}  // namespace robustness
