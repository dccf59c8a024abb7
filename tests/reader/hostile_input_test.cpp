// Hostile input: random bytes, NUL bytes, huge tokens and extreme nesting.
// Each case must finish without a crash, in bounded memory, with the events
// and line numbers the grammar prescribes. Inputs are generated in memory.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "reader/event_recorder.h"

#if defined(__SANITIZE_ADDRESS__)
#define LUM_TEST_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUM_TEST_UNDER_ASAN 1
#endif
#endif

namespace lum {
namespace {

using Events = std::vector<std::string>;

// Texts longer than this are shown by length and hash only.
constexpr std::size_t kShortText = 40;

struct tDigest {
    std::size_t length = 0;
    std::uint64_t hash = 1469598103934665603ull;
    void Add(unsigned long codeUnit) {
        ++length;
        hash = (hash ^ codeUnit) * 1099511628211ull;
    }
    std::string ToString() const {
        char buffer[48];
        std::snprintf(buffer, sizeof buffer, "#%zu:%016llx", length, static_cast<unsigned long long>(hash));
        return buffer;
    }
};

std::string Brief(const std::wstring& text) {
    if (text.size() <= kShortText) return test::Printable(text);
    tDigest digest;
    for (wchar_t ch : text) digest.Add(static_cast<unsigned long>(ch));
    return digest.ToString();
}

// The Brief of ASCII bytes, as the lexer would hand them on.
std::string BriefOfAscii(const std::string& bytes) { return Brief(std::wstring(bytes.begin(), bytes.end())); }

// Counts events and keeps the first few, with long texts abbreviated, so
// that millions of events or a text of many megabytes cost no memory here.
class tCountingReader : public tVellumReader {
public:
    std::size_t constructs = 0, closes = 0, features = 0;
    int finalLine = 0;
    Events first;

    void Read(std::istream& in) {
        tVellumLexer lexer(in);
        Run(lexer);
        finalLine = lexer.GetLine();
    }
    // Reads the bytes in place, without the copy a string stream would make.
    void Read(const std::string& text) {
        struct tView : std::streambuf {
            explicit tView(const std::string& t) {
                char* begin = const_cast<char*>(t.data());
                setg(begin, begin, begin + t.size());
            }
        } view(text);
        std::istream in(&view);
        Read(in);
    }

protected:
    void OnConstruct(const WString& keyword, const WString& classOrText,
                     const std::vector<WString>& arguments) override {
        ++constructs;
        std::string line = "C " + Brief(keyword) + "|" + Brief(classOrText) + "|[";
        for (std::size_t i = 0; i < arguments.size(); ++i) line += (i ? "," : "") + Brief(arguments[i]);
        Keep(line + "]");
    }
    void OnClose() override {
        ++closes;
        Keep("X");
    }
    void OnFeature(const WString& name, const WString& value, bool hasValue) override {
        ++features;
        Keep("F " + Brief(name) + "|" + Brief(value) + "|" + (hasValue ? "1" : "0"));
    }

private:
    void Keep(const std::string& event) {
        if (first.size() < 16) first.push_back(event + " @" + std::to_string(GetLexer().GetLine()));
    }
};

// Produces `prefix`, then `count` bytes cycling through `pattern`, a block
// at a time, without ever holding the whole text.
class tGeneratedBuffer : public std::streambuf {
public:
    tGeneratedBuffer(std::string prefix, const std::string& pattern, std::size_t count)
        : m_text(std::move(prefix)), m_nPatternAt(m_text.size()), m_nSize(m_text.size() + count) {
        while (m_text.size() < m_nPatternAt + kBlock + pattern.size()) m_text += pattern;
        m_nPatternSize = pattern.size();
    }

protected:
    int_type underflow() override {
        if (m_nPos >= m_nSize) return traits_type::eof();
        // Before the pattern, or at the same offset within a later cycle of it.
        std::size_t at = m_nPos;
        if (at > m_nPatternAt) at = m_nPatternAt + (at - m_nPatternAt) % m_nPatternSize;
        const std::size_t n = std::min({kBlock, m_nSize - m_nPos, m_text.size() - at});
        char* begin = m_text.data() + at;
        setg(begin, begin, begin + n);
        m_nPos += n;
        return traits_type::to_int_type(*begin);
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::string m_text;
    std::size_t m_nPatternAt, m_nSize, m_nPatternSize = 1, m_nPos = 0;
};

// Checks that the peak resident size of the process grew by less than
// `budget` bytes while the guard was alive. Peak sizes say nothing under
// the sanitizers' own bookkeeping, so the check is skipped there.
class tMemoryBudget {
public:
    explicit tMemoryBudget(std::size_t budget) : m_nBudgetKiB(static_cast<long>(budget / 1024)) {}
    ~tMemoryBudget() {
#if !defined(LUM_TEST_UNDER_ASAN)
        EXPECT_LT(PeakKiB() - m_nStartKiB, m_nBudgetKiB) << "peak resident growth in KiB";
#endif
    }

private:
    static long PeakKiB() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    }
    long m_nBudgetKiB;
    long m_nStartKiB = PeakKiB();
};

constexpr std::size_t kMiB = 1 << 20;

class VellumHostileInput : public ::testing::Test {
protected:
    test::tCapturedErrors errors;
};

// Runs the recorder and checks what holds for any input: every line feed
// is counted once, event and message lines never go back, every message is
// a syntax message, each of them used up at least one NUL byte, and the
// events do not depend on how the stream delivers the bytes.
void CheckArbitraryInput(const std::string& text) {
    test::tCapturedErrors errors;
    std::istringstream in(text, std::ios::in | std::ios::binary);
    tVellumLexer lexer(in);
    test::tEventRecorder recorder;
    recorder.Run(lexer);

    const int lines = 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_EQ(lexer.GetLine(), lines);
    EXPECT_FALSE(lexer.IsGood());

    int last = 1;
    for (const std::string& event : recorder.events) {
        const int line = std::stoi(event.substr(event.rfind(" @") + 2));
        EXPECT_LE(last, line) << event;
        last = line;
    }
    EXPECT_LE(last, lines);

    const auto nulBytes = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\0'));
    EXPECT_LE(errors.List().size(), nulBytes);
    long lastError = 1;
    for (const tError& error : errors.List()) {
        EXPECT_EQ(error.severity, tError::Error);
        EXPECT_EQ(error.message.rfind(L"Vellum syntax error near ", 0), 0u) << test::Printable(error.message);
        EXPECT_LE(lastError, error.subject.line);
        lastError = error.subject.line;
    }
    EXPECT_LE(lastError, lines);

    EXPECT_EQ(test::ReadEventsTrickled(text, 11, true), recorder.events);
}

TEST(VellumHostileInputRandom, RandomBytesAndRandomNotationCharacters) {
    // All bytes, then the bytes the grammar cares about, so that every form
    // and every way of breaking one is met many times.
    const char notation[] = "(((()))))\"\"\"|||@@\\  \n\n\r\tobjectlisvau1,\0\xC3\xA9";
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    for (const std::string& alphabet : {all, std::string(notation, sizeof notation - 1)}) {
        for (unsigned seed : {1u, 2u, 3u}) {
            SCOPED_TRACE("alphabet of " + std::to_string(alphabet.size()) + ", seed " + std::to_string(seed));
            std::mt19937 random(seed);
            std::string text(256 * 1024, ' ');
            for (char& byte : text) byte = alphabet[random() % alphabet.size()];
            CheckArbitraryInput(text);
        }
    }
}

TEST_F(VellumHostileInput, NulBytes) {
    tMemoryBudget budget(64 * kMiB);
    // Symbols that convert to nothing and nothing after them: no event, no message.
    tCountingReader silent;
    silent.Read(std::string(4 * kMiB, '\0'));
    EXPECT_EQ(silent.constructs + silent.closes + silent.features, 0u);
    EXPECT_TRUE(errors.List().empty());

    // One message per NUL byte before a parenthesis, on its own line.
    std::string text;
    for (int i = 0; i < 100000; ++i) text += std::string("\0)\n", 3);
    tCountingReader reader;
    reader.Read(text);
    EXPECT_EQ(reader.closes, 100000u);
    EXPECT_EQ(reader.constructs + reader.features, 0u);
    ASSERT_EQ(errors.List().size(), 100000u);
    EXPECT_EQ(errors.List().front().subject.line, 1);
    EXPECT_EQ(errors.List().back().subject.line, 100000);
    EXPECT_EQ(test::Printable(errors.List().back().message), "Vellum syntax error near )");
    EXPECT_EQ(reader.finalLine, 100001);
}

TEST_F(VellumHostileInput, FiftyMegabyteUnterminatedString) {
    // 80-byte lines without quotes or backslashes, never closed.
    const std::string characters = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 .,;:-+=()[]{}<>|@#$%&*/?!~'";
    std::string line;
    for (std::size_t i = 0; i < 79; ++i) line += characters[(i * 7) % characters.size()];
    line += '\n';
    const std::size_t count = 50 * 1000 * 1000;

    tMemoryBudget budget(16 * count + 64 * kMiB);
    tGeneratedBuffer buffer("(object Note \"n\"\n  documentation \"", line, count);
    std::istream in(&buffer);
    tCountingReader reader;
    reader.Read(in);

    tDigest expected;
    for (std::size_t i = 0; i < count; ++i) expected.Add(static_cast<unsigned char>(line[i % line.size()]));
    const int lines = 2 + static_cast<int>(count / line.size());
    EXPECT_EQ(reader.first,
              (Events{"C object|Note|[n] @2", "F documentation|" + expected.ToString() + "|1 @" + std::to_string(lines)}));
    EXPECT_EQ(reader.finalLine, lines);
    EXPECT_TRUE(errors.List().empty());
}

TEST_F(VellumHostileInput, MillionUnmatchedParentheses) {
    tMemoryBudget budget(64 * kMiB);
    const std::size_t n = 1000 * 1000;
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += "(\n";
    // The first line feed goes with the blank after the first parenthesis;
    // the rest is one raw construct running to the end.
    tCountingReader opening;
    opening.Read(text);
    EXPECT_EQ(opening.first,
              (Events{"C lumElement|" + BriefOfAscii("(" + text.substr(2)) + "|[] @" + std::to_string(n + 1)}));
    EXPECT_EQ(opening.constructs, 1u);

    tCountingReader closing;
    closing.Read(std::string(n, ')'));
    EXPECT_EQ(closing.closes, n);
    EXPECT_EQ(closing.constructs + closing.features, 0u);
    EXPECT_TRUE(errors.List().empty());
}

TEST_F(VellumHostileInput, DeeplyNestedConstructs) {
    tMemoryBudget budget(128 * kMiB);
    const std::size_t depth = 1000 * 1000;
    // A raw construct: one text, whatever the depth.
    const std::string raw = "(a " + std::string(depth, '(') + std::string(depth, ')') + ")";
    tCountingReader rawReader;
    rawReader.Read(raw + "\nnext v");
    EXPECT_EQ(rawReader.first, (Events{"C lumElement|" + BriefOfAscii(raw) + "|[] @1", "F next|v|1 @2"}));

    // Object constructs: one event each way, nothing kept per level.
    std::string text;
    for (std::size_t i = 0; i < depth; ++i) text += "(object C ";
    tCountingReader objects;
    objects.Read(text + std::string(depth, ')'));
    EXPECT_EQ(objects.constructs, depth);
    EXPECT_EQ(objects.closes, depth);
    EXPECT_EQ(objects.first.front(), "C object|C|[] @1");
    EXPECT_TRUE(errors.List().empty());
}

TEST_F(VellumHostileInput, TenMegabyteSymbols) {
    const std::size_t n = 10 * 1000 * 1000;
    std::string word(n, 'a');
    for (std::size_t i = 0; i < n; ++i) word[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    const std::string brief = BriefOfAscii(word);

    tMemoryBudget budget(40 * n + 64 * kMiB);
    // As name, value, class word, @ token and raw text; the short symbols
    // after it hold nothing of it.
    tCountingReader reader;
    reader.Read(word + " b\nname\n" + word + "\n(object " + word + " @" + word + ")\n(" + word + ")\nc");
    EXPECT_EQ(reader.first, (Events{"F " + brief + "|b|1 @1", "F name|" + brief + "|1 @3",
                                    "C object|" + brief + "|[" + BriefOfAscii("@" + word) + "] @4", "X @4",
                                    "C lumElement|" + BriefOfAscii("(" + word + ")") + "|[] @5", "F c||0 @6"}));
    EXPECT_TRUE(errors.List().empty());
}

}  // namespace
}  // namespace lum
