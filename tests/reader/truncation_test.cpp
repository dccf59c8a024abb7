// Reading a model file that was cut short at any byte: every prefix of the
// sample files is read from memory and must neither crash nor leak (the
// sanitizer build checks leaks at exit), and what the reader hands back must
// hold together: every collected stub and every font that a view points to
// is still part of the file.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <streambuf>
#include <string>
#include <vector>

#include "reader/model_reading.h"

namespace lum {
namespace {

// A get area over bytes that stay with the caller.
class tMemoryBuffer : public std::streambuf {
public:
    tMemoryBuffer(const char* data, std::size_t size) {
        char* begin = const_cast<char*>(data);
        setg(begin, begin, begin + size);
    }
};

// Optimised builds read every prefix. Unoptimised builds (the sanitizer
// build among them) read every prefix of the first 2 KB and of the last
// 64 bytes, and every 7th in between, which keeps them to seconds.
#ifdef NDEBUG
constexpr bool kEveryPrefix = true;
#else
constexpr bool kEveryPrefix = false;
#endif

std::size_t NextLength(std::size_t length, std::size_t size) {
    if (kEveryPrefix || length < 2048 || length + 64 >= size) return length + 1;
    return std::min(length + 7, size - 63);
}

class TruncationTest : public test::ModelReadingTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TruncationTest, EveryPrefixReadsIntoAConsistentFile) {
    const std::filesystem::path path = std::filesystem::path(LUM_SAMPLES_DIR) / "library" / GetParam();
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.is_open()) << path;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 1000u);

    const auto started = std::chrono::steady_clock::now();
    std::size_t withDesignOrUnit = 0;
    std::size_t strayStubs = 0, strayFonts = 0, firstStray = 0;
    const ClumIdent fontFeatures[] = {L"font", L"defaultFont"};
    std::size_t prefixes = 0;
    for (std::size_t length = 0; length <= bytes.size(); length = NextLength(length, bytes.size())) {
        ++prefixes;
        tMemoryBuffer buffer(bytes.data(), length);
        std::istream stream(&buffer);
        auto file = std::make_unique<ClumVellumFile>();
        ClumParser::Parse(stream, L"cut.mdl", *file, units);

        // Pointers are only compared, never followed: a stray one may point
        // to an object that was freed.
        std::vector<const ClumVellumEntity*> objects;
        std::vector<const ClumVellumEntity*> fonts;
        test::ForEachObject(file.get(), [&](ClumVellumEntity* object) {
            objects.push_back(object);
            for (const ClumIdent& keyword : fontFeatures) {
                IlumFeature* feature = object->GetFeature(keyword);
                IlumReference* reference = feature ? feature->GetReference() : nullptr;
                const ClumVellumEntity* font = reference ? reference->GetTarget(-1) : nullptr;
                if (font != nullptr) fonts.push_back(font);
            }
        });
        std::sort(objects.begin(), objects.end());
        const std::size_t before = strayStubs + strayFonts;
        for (const ClumUnitObject* unit : units) {
            if (!std::binary_search(objects.begin(), objects.end(), unit)) ++strayStubs;
        }
        for (const ClumVellumEntity* font : fonts) {
            if (file->fonts.IndexOf(font) < 0) ++strayFonts;
        }
        if (before == 0 && strayStubs + strayFonts > 0) firstStray = length;
        if (file->design.GetSize() + file->unit.GetSize() > 0) ++withDesignOrUnit;
        if (length == bytes.size()) {
            EXPECT_EQ(Messages(), test::Strings{});
        }

        file.reset();
        units.clear();
        errors.clear();
    }
    EXPECT_EQ(strayStubs, 0u) << "stubs that are not part of the file, first after " << firstStray << " bytes";
    EXPECT_EQ(strayFonts, 0u) << "fonts that are not the file's, first after " << firstStray << " bytes";
    EXPECT_GT(withDesignOrUnit, prefixes / 2);
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    RecordProperty("prefixes", static_cast<int>(prefixes));
    std::printf("%s: %zu prefixes of %zu bytes in %.1f s\n", GetParam(), prefixes, bytes.size(), seconds);
}

INSTANTIATE_TEST_SUITE_P(SampleFiles, TruncationTest, ::testing::Values("library.mdl", "people.cat", "accounts.cat"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (c == '.') c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace lum
