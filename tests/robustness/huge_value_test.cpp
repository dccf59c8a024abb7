// One string value of 200 MB (20 MB in unoptimised builds), quoted and as
// bar lines: read whole and intact, in memory bounded by the value's wide
// text, with the object after it still read. The quoted one is converted a
// byte at a time (the library's default), the bar one as a whole text (as
// the tool reads).

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "reader/model_reading.h"
#include "robustness/hostile_support.h"

namespace robustness {
namespace {

constexpr std::size_t kValueBytes = (std::size_t{200} << 20) / kScale;
constexpr std::size_t kLine = 100;  // each line of the value, its line feed included

// A line of the value: no quote, backslash or bar.
std::string ValueLine(std::size_t n) {
    std::string line;
    for (std::size_t i = 0; i + 1 < kLine; ++i) line += static_cast<char>('a' + (n * 7 + i) % 26);
    return line;
}

// Class Big whose documentation is `lines` lines, as one quoted string or as
// bar lines, followed by class After; written straight to the file.
void WriteHugeModel(const std::string& path, std::size_t lines, bool bars) {
    const std::string main = MainFile(ClassText("Big", "5D0000000101", "\t\tdocumentation \t@\n") +
                                      ClassText("After", "5D0000000102"));
    const std::size_t hole = main.find('@');
    std::ofstream out(path, std::ios::binary);
    out << main.substr(0, hole);
    if (!bars) out << '"';
    for (std::size_t n = 0; n < lines; ++n) {
        if (bars) out << '|';
        out << ValueLine(n) << (n + 1 < lines || bars ? "\n" : "");
    }
    if (!bars) out << '"';
    out << main.substr(hole + 1);
}

class HugeValueTest : public lum::test::ModelReadingTest, public ::testing::WithParamInterface<bool> {
protected:
    void TearDown() override {
        lum::tVellumLexer::SetConvertTextsWhole(false);
        ModelReadingTest::TearDown();
    }

    tScratchDir scratch;
};

TEST_P(HugeValueTest, IsReadWholeInBoundedMemory) {
    const bool bars = GetParam();
    const std::size_t lines = kValueBytes / kLine;
    const std::string path = (scratch / "huge.mdl").string();
    WriteHugeModel(path, lines, bars);
    lum::tVellumLexer::SetConvertTextsWhole(bars);

    ResetPeakMemory();
    const std::size_t before = PeakMemory();
    const auto started = std::chrono::steady_clock::now();
    lum::ClumVellumFile file;
    lum::ClumParser::Parse(lum::WString(path.c_str()), file, units);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::size_t peak = PeakMemory() - before;

    lum::ClumVellumEntity* root = lum::test::Children(file.design.GetAt(0), L"root_category").at(0);
    const std::vector<lum::ClumVellumEntity*> classes = lum::test::Children(root, L"logical_models");
    ASSERT_EQ(lum::test::Names(classes), (lum::test::Strings{L"Big", L"After"}));
    const lum::WString& text = lum::test::As<lum::ClumClass>(classes[0])->documentation.Get();
    // Bar lines are joined by CR LF, quoted lines keep their LF.
    const std::wstring separator = bars ? L"\r\n" : L"\n";
    ASSERT_EQ(text.size(), lines * (kLine - 1) + (lines - 1) * separator.size());
    for (const std::size_t n : {std::size_t{0}, lines / 2, lines - 1}) {
        const std::size_t at = n * (kLine - 1 + separator.size());
        const std::string expected = ValueLine(n);
        ASSERT_EQ(text.substr(at, kLine - 1), std::wstring(expected.begin(), expected.end())) << "line " << n;
        if (n + 1 < lines) {
            ASSERT_EQ(text.substr(at + kLine - 1, separator.size()), separator);
        }
    }
    EXPECT_EQ(Messages(), lum::test::Strings{});
    std::printf("%s string of %zu MB: read in %.1f s, peak %zu MB above the start\n", bars ? "bar" : "quoted",
                kValueBytes >> 20, seconds, peak >> 20);
    // Four bytes a character as wide text, and the text being built next to
    // the one it outgrew, then handed on.
    if (kMeasuresMemory) {
        EXPECT_LT(peak, 16 * kValueBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(QuotedAndBar, HugeValueTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Bar" : "Quoted"; });

}  // namespace
}  // namespace robustness
