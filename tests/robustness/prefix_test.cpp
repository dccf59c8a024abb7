// A model file cut short at any byte, read and then bound: the main sample
// file and a unit file. Every prefix is read, its references bound and the
// whole freed (the sanitizer build checks for leaks at exit); what goes
// wrong is said in diagnostics that name a line of the prefix. The tool
// checks a cut every two kilobytes.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <streambuf>

#include "reader/model_reading.h"
#include "robustness/hostile_support.h"

namespace robustness {
namespace {

// Bytes that stay with the caller, as a stream.
class tBytes : public std::streambuf {
public:
    tBytes(const std::string& bytes, std::size_t length) {
        char* begin = const_cast<char*>(bytes.data());
        setg(begin, begin, begin + length);
    }
};

// Every prefix where each one is fast; in unoptimised builds every prefix
// of the first and last 256 bytes and every 97th in between.
std::size_t NextLength(std::size_t length, std::size_t size) {
    if (kScale == 1 || length < 256 || length + 256 >= size) return length + 1;
    return std::min(length + 97, size - 255);
}

class PrefixTest : public lum::test::ModelReadingTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(PrefixTest, EveryPrefixReadsBindsAndReportsWithinItsLines) {
    const std::string bytes = ReadFile(fs::path(LUM_SAMPLES_DIR) / "library" / GetParam());
    ASSERT_GT(bytes.size(), 4000u);
    const auto started = std::chrono::steady_clock::now();
    std::size_t prefixes = 0, diagnostics = 0, bound = 0;
    for (std::size_t length = 0; length <= bytes.size(); length = NextLength(length, bytes.size())) {
        ++prefixes;
        tBytes buffer(bytes, length);
        std::istream in(&buffer);
        auto file = std::make_unique<lum::ClumVellumFile>();
        lum::ClumParser::Parse(in, L"cut.mdl", *file, units);
        lum::ClumNameResolver resolver;
        std::vector<const lum::IlumReference*> unresolved;
        resolver.CollectAndBind(file.get(), unresolved);

        const long lines = 1 + static_cast<long>(std::count(bytes.begin(), bytes.begin() + static_cast<long>(length), '\n'));
        for (const lum::tError& error : errors) {
            EXPECT_LE(error.severity, lum::tError::Error) << length << ": " << lum::ToUtf8(error.message);
            EXPECT_LE(error.subject.line, lines) << length << ": " << lum::ToUtf8(error.message);
        }
        diagnostics += errors.size();
        if (length == bytes.size()) {
            EXPECT_EQ(Messages(), lum::test::Strings{});
            bound = unresolved.size();
        }
        resolver.ClearCaches();
        file.reset();
        units.clear();
        errors.clear();
    }
    std::printf("%s: %zu prefixes of %zu bytes read and bound in %.1f s, %zu diagnostics, %zu unbound in the whole\n",
                GetParam(), prefixes, bytes.size(),
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), diagnostics, bound);
}

INSTANTIATE_TEST_SUITE_P(SampleFiles, PrefixTest, ::testing::Values("library.mdl", "people.cat"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(0, std::string(info.param).find('.'));
                         });

TEST(PrefixToolTest, ToolChecksACutEveryTwoKilobytes) {
    tScratchDir scratch;
    const fs::path library = fs::path(LUM_SAMPLES_DIR) / "library";
    const std::string bytes = ReadFile(library / "library.mdl");
    // The cut main file loads the sample's unit files where they lie.
    const std::vector<std::string> options = {"--pathmap", (library / "library.map").string(), "-D",
                                              "CURDIR=" + library.string()};
    for (std::size_t length = 0; length < bytes.size(); length += 2048) {
        std::vector<std::string> args = {"check", "--format", "json"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(scratch.Write("cut.mdl", bytes.substr(0, length)));
        const tRun run = RunTool(args, scratch);
        EXPECT_LE(run.status, 1) << length << "\n" << Describe(run);
        JsonOf(run.out);
    }
}

}  // namespace
}  // namespace robustness
