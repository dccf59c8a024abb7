// Hostile input to the reader: random bytes, NUL bytes, huge tokens, extreme
// nesting, and every prefix of the sample files. Each must end without a
// crash or a leak (the sanitizer build checks), in bounded memory, with the
// events and lines the grammar prescribes; every prefix must read into a
// file that holds together, bind, and report within its own lines.
#include <sys/resource.h>

#include <random>

#include "reader/events.h"

#if defined(__SANITIZE_ADDRESS__)
#define LUM_TEST_UNDER_ASAN 1
#endif

namespace lum {
namespace {
using test::Events;
using test::Printable;

constexpr std::size_t kMiB = 1 << 20;

// The peak resident size of the process grows by less than `budget` while
// alive (not checked under the sanitizers' own bookkeeping).
class tMemoryBudget {
public:
    explicit tMemoryBudget(std::size_t budget) : m_budgetKiB(static_cast<long>(budget / 1024)) {}
    ~tMemoryBudget() {
#if !defined(LUM_TEST_UNDER_ASAN)
        EXPECT_LT(PeakKiB() - m_startKiB, m_budgetKiB) << "peak resident growth in KiB";
#endif
    }

private:
    static long PeakKiB() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    }
    long m_budgetKiB;
    long m_startKiB = PeakKiB();
};

struct tRead {
    Events events;
    std::size_t constructs, closes, features;
};

// Reads `text` in place, keeping the first 16 events.
tRead Read(std::string text) {
    test::tTrickleBuffer buffer(std::move(text), 1 << 16);
    std::istream in(&buffer);
    test::tEventRecorder recorder(16);
    recorder.Read(in);
    return {recorder.events, recorder.constructs, recorder.closes, recorder.features};
}

std::string Brief(const std::string& ascii) { return Printable(std::wstring(ascii.begin(), ascii.end())); }

using Hostile = test::CaptureTest;

// Lines counted once, events and messages never going back, only syntax
// messages (each using up a NUL byte), the same events however delivered.
TEST_F(Hostile, RandomBytesAndRandomNotationCharacters) {
    const char notation[] = "(((()))))\"\"\"|||@@\\  \n\n\r\tobjectlisvau1,\0\xC3\xA9";
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    for (const std::string& alphabet : {all, std::string(notation, sizeof notation - 1)}) {
        for (unsigned seed : {1u, 2u, 3u}) {
            std::mt19937 random(seed);
            std::string text(256 * 1024, ' ');
            for (char& byte : text) byte = alphabet[random() % alphabet.size()];
            errors.clear();
            std::istringstream in(text, std::ios::in | std::ios::binary);
            test::tEventRecorder recorder;
            recorder.Read(in);
            const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
            EXPECT_EQ(recorder.finalLine, lines);
            int last = 1;
            for (const std::string& event : recorder.events) {
                const int line = std::stoi(event.substr(event.rfind(" @") + 2));
                EXPECT_LE(last, line) << event;
                last = line;
            }
            EXPECT_LE(errors.size(), static_cast<std::size_t>(std::count(text.begin(), text.end(), '\0')));
            long lastError = 1;
            for (const tError& error : errors) {
                EXPECT_EQ(error.message.rfind(L"Vellum syntax error near ", 0), 0u) << Printable(error.message);
                EXPECT_LE(lastError, error.subject.line);
                lastError = error.subject.line;
            }
            EXPECT_LE(lastError, lines);
            EXPECT_EQ(test::ReadEvents(text, 11, true), recorder.events) << "seed " << seed;
        }
    }
}

TEST_F(Hostile, NulBytesAndAnUnterminatedStringInBoundedMemory) {
    tMemoryBudget budget(1200 * kMiB);
    tRead silent = Read(std::string(4 * kMiB, '\0'));  // converts to nothing, says nothing
    EXPECT_EQ(silent.constructs + silent.closes + silent.features, 0u);
    EXPECT_TRUE(errors.empty());
    std::string nulBeforeClose;
    for (int i = 0; i < 100000; ++i) nulBeforeClose += std::string("\0)\n", 3);
    tRead closes = Read(nulBeforeClose);  // one message per NUL byte, on its own line
    EXPECT_EQ(closes.closes, 100000u);
    ASSERT_EQ(errors.size(), 100000u);
    EXPECT_EQ(errors.back().subject.line, 100000);
    errors.clear();
    // A 50 MB string never closed, in 80-byte lines.
    std::string line;
    for (std::size_t i = 0; i < 79; ++i) line += static_cast<char>('a' + (i * 7) % 26);
    line += '\n';
    std::string body;
    body.reserve(50 * 1000 * 1000);
    while (body.size() + line.size() <= 50 * 1000 * 1000) body += line;
    const std::string lines = std::to_string(2 + body.size() / line.size());
    tRead unterminated = Read("(object Note \"n\"\n  documentation \"" + body);
    EXPECT_EQ(unterminated.events, (Events{"C object|Note|[n] @2", "F documentation|" + Brief(body) + "|1 @" + lines}));
    EXPECT_TRUE(errors.empty());
}

TEST_F(Hostile, DeepNestingAndHugeSymbolsInBoundedMemory) {
    tMemoryBudget budget(600 * kMiB);
    // A million parentheses open, then closed; the same as raw text; 10 MB symbols.
    const std::size_t depth = 1000 * 1000;
    std::string nested;
    for (std::size_t i = 0; i < depth; ++i) nested += "(object C ";
    tRead objects = Read(nested + std::string(depth, ')'));
    EXPECT_EQ(objects.constructs, depth);
    EXPECT_EQ(objects.closes, depth);
    const std::string raw = "(a " + std::string(depth, '(') + std::string(depth, ')') + ")";
    EXPECT_EQ(Read(raw + "\nnext v").events, (Events{"C lumElement|" + Brief(raw) + "|[] @1", "F next|v|1 @2"}));
    std::string word(10 * 1000 * 1000, 'a');
    for (std::size_t i = 0; i < word.size(); ++i) word[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    EXPECT_EQ(Read(word + " b\n(object " + word + " @" + word + ")\n(" + word + ")\nc").events,
              (Events{"F " + Brief(word) + "|b|1 @1", "C object|" + Brief(word) + "|[" + Brief("@" + word) + "] @2",
                      "X @2", "C lumElement|" + Brief("(" + word + ")") + "|[] @3", "F c||0 @4"}));
    EXPECT_TRUE(errors.empty());
}

// Optimised builds take every prefix; the others every prefix of the first
// kilobyte and the last 64 bytes and every 13th in between, to stay at seconds.
#ifdef NDEBUG
constexpr bool kEveryPrefix = true;
#else
constexpr bool kEveryPrefix = false;
#endif

class EveryPrefix : public test::LumTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EveryPrefix, ReadsIntoAConsistentFileBindsAndReportsWithinItsLines) {
    std::ifstream in(test::fs::path(LUM_SAMPLES_DIR) / "library" / GetParam(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 1000u);
    std::size_t prefixes = 0, withDesignOrUnit = 0, strays = 0, firstStray = 0;
    for (std::size_t length = 0; length <= bytes.size();
         length = kEveryPrefix || length < 1024 || length + 64 >= bytes.size() ? length + 1
                                                                                : std::min(length + 13, bytes.size() - 63)) {
        ++prefixes;
        test::tTrickleBuffer buffer(bytes.substr(0, length), 1 << 16);
        std::istream stream(&buffer);
        auto file = std::make_unique<ClumVellumFile>();
        ClumParser::Parse(stream, L"cut.mdl", *file, units);
        // Every stub is part of the file and every font a view uses is the
        // file's (pointers only compared: a stray one may point to freed memory).
        std::vector<const ClumVellumEntity*> objects;
        std::size_t before = strays;
        test::ForEachObject(file.get(), [&](ClumVellumEntity* object) {
            objects.push_back(object);
            for (const wchar_t* keyword : {L"font", L"defaultFont"}) {
                IlumFeature* feature = object->GetFeature(ClumIdent(keyword));
                const ClumVellumEntity* font = feature && feature->GetReference() ? feature->GetReference()->GetTarget(-1) : nullptr;
                if (font != nullptr && file->fonts.IndexOf(font) < 0) ++strays;
            }
        });
        std::sort(objects.begin(), objects.end());
        for (const ClumUnitObject* unit : units) strays += !std::binary_search(objects.begin(), objects.end(), unit);
        if (before == 0 && strays > 0) firstStray = length;
        withDesignOrUnit += file->design.GetSize() + file->unit.GetSize() > 0;
        ClumNameResolver resolver;
        std::vector<const IlumReference*> unresolved;
        resolver.CollectAndBind(file.get(), unresolved);
        const long lines = 1 + static_cast<long>(std::count(bytes.begin(), bytes.begin() + static_cast<long>(length), '\n'));
        for (const tError& error : errors) {
            EXPECT_LE(error.severity, tError::Error) << length << ": " << ToUtf8(error.message);
            EXPECT_LE(error.subject.line, lines) << length << ": " << ToUtf8(error.message);
        }
        if (length == bytes.size()) {
            EXPECT_EQ(Messages(), test::Strings{});
        }
        file.reset();
        units.clear();
        errors.clear();
    }
    EXPECT_EQ(strays, 0u) << "stubs or fonts that are not the file's, first after " << firstStray << " bytes";
    EXPECT_GT(withDesignOrUnit, prefixes / 2);
}

INSTANTIATE_TEST_SUITE_P(SampleFiles, EveryPrefix, ::testing::Values("library.mdl", "people.cat", "accounts.cat"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(0, std::string(info.param).find('.'));
                         });

}  // namespace
}  // namespace lum
