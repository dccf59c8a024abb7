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
std::string BriefOfAscii(const std::string& bytes) {
    if (bytes.size() <= kShortText) return test::Printable(std::wstring(bytes.begin(), bytes.end()));
    tDigest digest;
    for (unsigned char ch : bytes) digest.Add(ch);
    return digest.ToString();
}

// Counts events and keeps the first few, with long texts abbreviated, so
// that millions of events or a text of many megabytes cost no memory here.
class tCountingReader : public tVellumReader {
public:
    static constexpr std::size_t kKept = 16;

    std::size_t constructs = 0;
    std::size_t closes = 0;
    std::size_t features = 0;
    bool linesInOrder = true;
    Events first;

protected:
    void OnConstruct(const WString& keyword, const WString& classOrText,
                     const std::vector<WString>& arguments) override {
        ++constructs;
        if (Keep()) {
            std::string line = "C " + Brief(keyword) + "|" + Brief(classOrText) + "|[";
            for (std::size_t i = 0; i < arguments.size(); ++i) line += (i ? "," : "") + Brief(arguments[i]);
            Add(line + "]");
        }
        Track();
    }
    void OnClose() override {
        ++closes;
        if (Keep()) Add("X");
        Track();
    }
    void OnFeature(const WString& name, const WString& value, bool hasValue) override {
        ++features;
        if (Keep()) Add("F " + Brief(name) + "|" + Brief(value) + "|" + (hasValue ? "1" : "0"));
        Track();
    }

private:
    bool Keep() const { return first.size() < kKept; }
    void Add(const std::string& event) { first.push_back(event + " @" + std::to_string(GetLexer().GetLine())); }
    void Track() {
        const int line = GetLexer().GetLine();
        if (line < m_nLastLine) linesInOrder = false;
        m_nLastLine = line;
    }
    int m_nLastLine = 1;
};

// Produces `prefix`, then `count` bytes cycling through `pattern`, then
// `suffix`, a block at a time, without ever holding the whole text.
class tGeneratedBuffer : public std::streambuf {
public:
    tGeneratedBuffer(std::string prefix, std::string pattern, std::size_t count, std::string suffix)
        : m_prefix(std::move(prefix)), m_pattern(std::move(pattern)), m_suffix(std::move(suffix)), m_nCount(count) {
        // A run of whole patterns as long as a block, copied from repeatedly.
        while (m_run.size() < kBlock + m_pattern.size()) m_run += m_pattern;
    }

    std::size_t Size() const { return m_prefix.size() + m_nCount + m_suffix.size(); }

protected:
    int_type underflow() override {
        if (m_nPos >= Size()) return traits_type::eof();
        std::size_t filled = 0;
        while (filled < kBlock && m_nPos < Size()) {
            std::size_t n;
            if (m_nPos < m_prefix.size()) {
                n = std::min(kBlock - filled, m_prefix.size() - m_nPos);
                std::copy_n(m_prefix.data() + m_nPos, n, m_block + filled);
            } else if (m_nPos < m_prefix.size() + m_nCount) {
                const std::size_t body = m_nPos - m_prefix.size();
                n = std::min(kBlock - filled, m_nCount - body);
                std::copy_n(m_run.data() + body % m_pattern.size(), n, m_block + filled);
            } else {
                const std::size_t tail = m_nPos - m_prefix.size() - m_nCount;
                n = std::min(kBlock - filled, m_suffix.size() - tail);
                std::copy_n(m_suffix.data() + tail, n, m_block + filled);
            }
            filled += n;
            m_nPos += n;
        }
        setg(m_block, m_block, m_block + filled);
        return traits_type::to_int_type(m_block[0]);
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::string m_prefix, m_pattern, m_suffix, m_run;
    std::size_t m_nCount;
    std::size_t m_nPos = 0;
    char m_block[kBlock];
};

long PeakResidentKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Checks that the peak resident size of the process grew by less than
// `budget` bytes while the guard was alive. Peak sizes only say something
// without the sanitizers' own bookkeeping, so the check is skipped there.
class tMemoryBudget {
public:
    explicit tMemoryBudget(std::size_t budget) : m_nBudgetKiB(static_cast<long>(budget / 1024)) {}
    ~tMemoryBudget() {
#if !defined(LUM_TEST_UNDER_ASAN)
        EXPECT_LT(PeakResidentKiB() - m_nStartKiB, m_nBudgetKiB) << "peak resident growth in KiB";
#endif
    }

private:
    long m_nBudgetKiB;
    long m_nStartKiB = PeakResidentKiB();
};

constexpr std::size_t kMiB = 1 << 20;

struct tCountingRun {
    tCountingReader reader;
    int finalLine = 0;
};

void RunCounting(std::istream& in, tCountingRun& run) {
    tVellumLexer lexer(in);
    run.reader.Run(lexer);
    run.finalLine = lexer.GetLine();
}

// Reads the bytes of a string in place, without the copy a string stream
// would make.
class tViewBuffer : public std::streambuf {
public:
    explicit tViewBuffer(const std::string& text) {
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

void RunCounting(const std::string& text, tCountingRun& run) {
    tViewBuffer buffer(text);
    std::istream in(&buffer);
    RunCounting(in, run);
}

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

TEST(VellumHostileInputRandom, RandomBytes) {
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::string text(256 * 1024, '\0');
        for (char& byte : text) byte = static_cast<char>(random() & 0xFF);
        CheckArbitraryInput(text);
    }
}

TEST(VellumHostileInputRandom, RandomNotationCharacters) {
    // Bytes the grammar cares about, so that every form and every way of
    // breaking one is met many times.
    const char bytes[] = "(((()))))\"\"\"|||@@\\  \n\n\r\tobjectlisvau1,\0\xC3\xA9";
    const std::string alphabet(bytes, sizeof bytes - 1);
    for (unsigned seed : {4u, 5u, 6u, 7u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::string text(256 * 1024, ' ');
        for (char& byte : text) byte = alphabet[random() % alphabet.size()];
        CheckArbitraryInput(text);
    }
}

TEST_F(VellumHostileInput, NulBytes) {
    tMemoryBudget budget(64 * kMiB);
    {
        // Symbols that convert to nothing and nothing after them: no event,
        // no message.
        tCountingRun run;
        RunCounting(std::string(4 * kMiB, '\0'), run);
        EXPECT_EQ(run.reader.constructs + run.reader.closes + run.reader.features, 0u);
        EXPECT_TRUE(errors.List().empty());
    }
    {
        // One message per NUL byte before a parenthesis, on its own line.
        std::string text;
        for (int i = 0; i < 100000; ++i) text += std::string("\0)\n", 3);
        tCountingRun run;
        RunCounting(text, run);
        EXPECT_EQ(run.reader.closes, 100000u);
        EXPECT_EQ(run.reader.constructs + run.reader.features, 0u);
        ASSERT_EQ(errors.List().size(), 100000u);
        EXPECT_EQ(errors.List().front().subject.line, 1);
        EXPECT_EQ(errors.List().back().subject.line, 100000);
        EXPECT_EQ(test::Printable(errors.List().back().message), "Vellum syntax error near )");
        EXPECT_EQ(run.finalLine, 100001);
    }
}

TEST_F(VellumHostileInput, FiftyMegabyteUnterminatedString) {
    // 80-byte lines of text without quotes or backslashes, never closed.
    const std::string characters = "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 .,;:-+=()[]{}<>|@#$%&*/?!~'";
    std::string line;
    for (std::size_t i = 0; i < 79; ++i) line += characters[(i * 7) % characters.size()];
    line += '\n';
    ASSERT_EQ(line.find_first_of("\"\\"), std::string::npos);
    const std::size_t count = 50 * 1000 * 1000;

    tMemoryBudget budget(16 * count + 64 * kMiB);
    tGeneratedBuffer buffer("(object Note \"n\"\n  documentation \"", line, count, "");
    std::istream in(&buffer);
    tCountingRun run;
    RunCounting(in, run);

    tDigest expected;
    for (std::size_t i = 0; i < count; ++i) expected.Add(static_cast<unsigned char>(line[i % line.size()]));
    const int lines = 2 + static_cast<int>(count / line.size());
    EXPECT_EQ(run.reader.first,
              (Events{"C object|Note|[n] @2", "F documentation|" + expected.ToString() + "|1 @" + std::to_string(lines)}));
    EXPECT_EQ(run.finalLine, lines);
    EXPECT_TRUE(errors.List().empty());
}

TEST_F(VellumHostileInput, MillionUnmatchedOpeningParentheses) {
    tMemoryBudget budget(64 * kMiB);
    const std::size_t n = 1000 * 1000;
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text += "(\n";
    tCountingRun run;
    RunCounting(text, run);
    // The first line feed goes with the blank after the first parenthesis;
    // the rest is one raw construct running to the end.
    EXPECT_EQ(run.reader.first, (Events{"C lumElement|" + BriefOfAscii("(" + text.substr(2)) + "|[] @" +
                                        std::to_string(n + 1)}));
    EXPECT_EQ(run.reader.constructs, 1u);
    EXPECT_TRUE(errors.List().empty());
}

TEST_F(VellumHostileInput, MillionClosingParentheses) {
    tMemoryBudget budget(64 * kMiB);
    const std::size_t n = 1000 * 1000;
    tCountingRun run;
    RunCounting(std::string(n, ')'), run);
    EXPECT_EQ(run.reader.closes, n);
    EXPECT_EQ(run.reader.constructs + run.reader.features, 0u);
    EXPECT_TRUE(run.reader.linesInOrder);
    EXPECT_TRUE(errors.List().empty());
}

TEST_F(VellumHostileInput, DeeplyNestedConstructs) {
    tMemoryBudget budget(128 * kMiB);
    const std::size_t depth = 1000 * 1000;
    {
        // A raw construct: one text, whatever the depth.
        const std::string raw = "(a " + std::string(depth, '(') + std::string(depth, ')') + ")";
        tCountingRun run;
        RunCounting(raw + "\nnext v", run);
        EXPECT_EQ(run.reader.first, (Events{"C lumElement|" + BriefOfAscii(raw) + "|[] @1", "F next|v|1 @2"}));
    }
    {
        // Object constructs: one event each way, nothing kept per level.
        std::string text;
        for (std::size_t i = 0; i < depth; ++i) text += "(object C ";
        text += std::string(depth, ')');
        tCountingRun run;
        RunCounting(text, run);
        EXPECT_EQ(run.reader.constructs, depth);
        EXPECT_EQ(run.reader.closes, depth);
        EXPECT_EQ(run.reader.first.front(), "C object|C|[] @1");
    }
    EXPECT_TRUE(errors.List().empty());
}

TEST_F(VellumHostileInput, TenMegabyteSymbols) {
    const std::size_t n = 10 * 1000 * 1000;
    std::string word(n, 'a');
    for (std::size_t i = 0; i < n; ++i) word[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    const std::string brief = BriefOfAscii(word);

    tMemoryBudget budget(40 * n + 64 * kMiB);
    {
        // As a name; the short symbols after it hold nothing of it.
        tCountingRun run;
        RunCounting(word + " b\nc", run);
        EXPECT_EQ(run.reader.first, (Events{"F " + brief + "|b|1 @1", "F c||0 @2"}));
    }
    {
        tCountingRun run;
        RunCounting("name\n" + word + "\n(object " + word + " @" + word + ")", run);
        EXPECT_EQ(run.reader.first,
                  (Events{"F name|" + brief + "|1 @2", "C object|" + brief + "|[" + BriefOfAscii("@" + word) + "] @3",
                          "X @3"}));
    }
    {
        tCountingRun run;
        RunCounting("(" + word + ")", run);
        EXPECT_EQ(run.reader.first, (Events{"C lumElement|" + BriefOfAscii("(" + word + ")") + "|[] @1"}));
    }
    EXPECT_TRUE(errors.List().empty());
}

}  // namespace
}  // namespace lum
