#include "lum/reader/vellum_lexer.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "platform/codepage.h"

namespace lum {

namespace {

// Byte classes of the notation. White space is what isspace gives in the
// "C" locale: tab, line feed, vertical tab, form feed, carriage return and
// space, whatever locale the host has set.
enum : unsigned char {
    Space = 1,        // white space
    Delimiter = 2,    // ends a symbol
    QuotedStop = 4,   // needs care inside a quoted string
    BarStop = 8,      // needs care inside a bar line
    BalancedStop = 16 // needs care inside a raw construct
};

struct tByteClasses {
    unsigned char of[256] = {};

    constexpr tByteClasses() {
        for (unsigned char c : {'\t', '\n', '\v', '\f', '\r', ' '}) of[c] |= Space | Delimiter;
        for (unsigned char c : {'"', '(', ')'}) of[c] |= Delimiter;
        // NUL converts to nothing and bytes from 0x80 depend on the code page:
        // every reader takes them one at a time.
        for (int c = 0x80; c < 256; ++c) of[c] |= QuotedStop | BarStop | BalancedStop;
        of[0] |= QuotedStop | BarStop | BalancedStop;
        of[static_cast<unsigned char>('"')] |= QuotedStop;
        of[static_cast<unsigned char>('\\')] |= QuotedStop;
        of[static_cast<unsigned char>('\n')] |= QuotedStop | BarStop | BalancedStop;
        of[static_cast<unsigned char>('\r')] |= BarStop;
        of[static_cast<unsigned char>('(')] |= BalancedStop;
        of[static_cast<unsigned char>(')')] |= BalancedStop;
    }
};

constexpr tByteClasses Classes;

bool Is(int c, unsigned char cls) { return c >= 0 && (Classes.of[c] & cls) != 0; }
bool IsSpace(int c) { return Is(c, Space); }
bool IsDelimiter(int c) { return c < 0 || Is(c, Delimiter); }

// Appends bytes as the characters of the same values, in place (appending
// a range of another character type would go through a temporary string).
void AppendWidened(WString& out, const char* from, const char* to) {
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(to - from));
    wchar_t* into = out.data() + at;
    for (; from != to; ++from) *into++ = static_cast<unsigned char>(*from);
}
bool IsAsciiLetterOrDigit(int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

namespace {

constinit std::atomic<bool> g_bWholeTexts{false};
// -1: as the process-wide setting; 0 or 1: the thread's own.
thread_local signed char t_nWholeTexts = -1;

}  // namespace

void tVellumLexer::SetConvertTextsWhole(bool whole) { g_bWholeTexts.store(whole, std::memory_order_relaxed); }

bool tVellumLexer::GetConvertTextsWhole() {
    return t_nWholeTexts >= 0 ? t_nWholeTexts != 0 : g_bWholeTexts.load(std::memory_order_relaxed);
}

void tVellumLexer::SetThreadConvertTextsWhole(bool whole) { t_nWholeTexts = whole ? 1 : 0; }

void tVellumLexer::ClearThreadConvertTextsWhole() { t_nWholeTexts = -1; }

tVellumLexer::tVellumLexer(std::istream& in) : tVellumLexer(in, 0, 1) {}

tVellumLexer::tVellumLexer(std::istream& in, std::uint64_t offset, int line)
    : m_in(in),
      m_nLine(line),
      m_nBlockOffset(offset),
      m_pBuffer(in.rdbuf()),
      m_nPage(WString::GetLocalePage()),
      m_bWholeTexts(GetConvertTextsWhole()),
      m_block(new char[BlockSize]) {
    // Texts converted whole are first taken byte for byte (each byte as the
    // character of the same value) and converted when complete.
    m_bAsciiPage = platform::IsAsciiTransparent(m_nPage);
    m_bAsciiRuns = m_bWholeTexts || m_bAsciiPage;
    for (int byte = 0; byte < 256; ++byte) {
        m_byteMap[byte] = m_bWholeTexts ? static_cast<wchar_t>(byte)
                                        : platform::ConvertSingleByte(m_nPage, static_cast<unsigned char>(byte));
    }
    m_pPos = m_pEnd = m_block.get();
    Advance();
}

void tVellumLexer::ConvertWhole(WString& text, std::size_t from) {
    if (!m_bWholeTexts || from >= text.size()) return;
    // Plain ASCII, most texts, already reads right.
    if (m_bAsciiPage && std::all_of(text.begin() + from, text.end(), [](wchar_t c) { return c < 0x80; })) return;
    m_bytes.resize(text.size() - from);
    for (std::size_t i = from; i < text.size(); ++i) m_bytes[i - from] = static_cast<char>(text[i]);
    text.resize(from);
    platform::AppendMultiByte(text, m_nPage, m_bytes.data(), m_bytes.size());
}

int tVellumLexer::Refill() {
    m_nBlockOffset += static_cast<std::uint64_t>(m_pEnd - m_block.get());
    std::streamsize got = 0;
    if (m_pBuffer != nullptr) {
        try {
            got = m_pBuffer->sgetn(m_block.get(), BlockSize);
        } catch (...) {
            got = 0;
            m_in.setstate(std::ios::badbit);
        }
    }
    if (got <= 0) {
        m_pPos = m_pEnd = m_block.get();
        return m_nCurrent = EndOfFile;
    }
    m_pPos = m_block.get();
    m_pEnd = m_block.get() + got;
    return m_nCurrent = static_cast<unsigned char>(*m_pPos++);
}

void tVellumLexer::SkipTo(std::uint64_t offset, int line) {
    m_nLine = line;
    const std::uint64_t blockEnd = m_nBlockOffset + static_cast<std::uint64_t>(m_pEnd - m_block.get());
    if (offset < blockEnd) {
        m_pPos = m_block.get() + (offset - m_nBlockOffset);
        Advance();
        return;
    }
    // An empty block at the target: the next refill reads from there.
    m_pPos = m_pEnd = m_block.get();
    m_nBlockOffset = offset;
    if (m_pBuffer != nullptr) {
        const auto target = static_cast<std::streamoff>(offset);
        bool placed = false;
        try {
            placed = m_pBuffer->pubseekpos(target, std::ios::in) == std::streampos(target);
        } catch (...) {
        }
        // A stream that cannot seek is read over, block by block.
        for (std::uint64_t at = blockEnd; !placed && at < offset;) {
            std::streamsize got = 0;
            try {
                got = m_pBuffer->sgetn(m_block.get(), static_cast<std::streamsize>(
                                                          std::min<std::uint64_t>(BlockSize, offset - at)));
            } catch (...) {
                m_in.setstate(std::ios::badbit);
            }
            if (got <= 0) break;
            at += static_cast<std::uint64_t>(got);
        }
    }
    Refill();
}

void tVellumLexer::AppendByte(WString& out, int byte) {
    const wchar_t converted = m_byteMap[byte];
    if (converted != L'\0') out.push_back(converted);
}

void tVellumLexer::AppendRun(WString& out, unsigned char stops) {
    if (!m_bAsciiRuns) return;
    // Invariant: a current character that is not end of file sits at m_pPos[-1].
    while (m_nCurrent != EndOfFile && !Is(m_nCurrent, stops)) {
        const char* start = m_pPos - 1;
        const char* p = m_pPos;
        while (p != m_pEnd && (Classes.of[static_cast<unsigned char>(*p)] & stops) == 0) ++p;
        AppendWidened(out, start, p);
        m_pPos = p;
        Advance();
    }
}

bool tVellumLexer::SkipWhitespace() {
    if (m_nCurrent == EndOfFile) return false;
    bool skipped = false;
    while (IsSpace(m_nCurrent)) {
        if (m_nCurrent == '\n') ++m_nLine;
        skipped = true;
        Advance();
    }
    return skipped;
}

bool tVellumLexer::Expect(char c) {
    SkipWhitespace();
    if (m_nCurrent != static_cast<unsigned char>(c)) return false;
    Advance();
    return true;
}

bool tVellumLexer::ReadSymbol(WString& out) {
    SkipWhitespace();
    // Most symbols are plain ASCII inside the current block: in a page that
    // keeps ASCII as it is, they are taken over as they stand.
    if (m_bAsciiPage && !IsDelimiter(m_nCurrent)) {
        const char* start = m_pPos - 1;
        const char* p = m_pPos;
        auto plain = [](char c) { return static_cast<unsigned char>(c) - 1u < 0x7Fu; };  // 1 .. 0x7F
        bool allPlain = plain(*start);
        while (p != m_pEnd && (Classes.of[static_cast<unsigned char>(*p)] & Delimiter) == 0) allPlain &= plain(*p++);
        if (allPlain && p != m_pEnd) {
            out.clear();
            AppendWidened(out, start, p);
            m_pPos = p;
            Advance();
            return true;
        }
    }
    m_symbol.clear();
    while (!IsDelimiter(m_nCurrent)) {
        const char* start = m_pPos - 1;
        const char* p = m_pPos;
        while (p != m_pEnd && (Classes.of[static_cast<unsigned char>(*p)] & Delimiter) == 0) ++p;
        m_symbol.append(start, p);
        m_pPos = p;
        Advance();
    }
    // The symbol is converted as one NUL-terminated narrow text: it ends at
    // its first NUL byte.
    const void* nul = std::memchr(m_symbol.data(), 0, m_symbol.size());
    const std::size_t length = nul ? static_cast<const char*>(nul) - m_symbol.data() : m_symbol.size();
    out.clear();
    platform::AppendMultiByte(out, m_nPage, m_symbol.data(), length);
    return !out.empty();
}

bool tVellumLexer::ReadString(WString& out) {
    const bool read = ReadStringBytes(out);
    ConvertWhole(out, 0);
    return read;
}

bool tVellumLexer::ReadStringBytes(WString& out) {
    out.clear();
    SkipWhitespace();
    if (m_nCurrent == '"') {
        Advance();
        bool escaped = false;
        for (;;) {
            if (!escaped) AppendRun(out, QuotedStop);
            const int c = m_nCurrent;
            if (c == EndOfFile) return true;  // unterminated: what was read
            if (escaped) {
                escaped = false;
            } else if (c == '"') {
                Advance();
                return true;
            } else if (c == '\\') {
                escaped = true;
            }
            if (c == '\n') ++m_nLine;
            AppendByte(out, c);
            Advance();
        }
    }
    if (m_nCurrent == '|') {
        bool first = true;
        while (m_nCurrent == '|') {
            if (!first) out += L"\r\n";
            first = false;
            Advance();
            for (;;) {
                AppendRun(out, BarStop);
                const int c = m_nCurrent;
                if (c == EndOfFile) break;
                if (c == '\n') {
                    ++m_nLine;
                    Advance();
                    break;
                }
                if (c == '\r') {
                    const int next = Advance();
                    if (next == '\n') {
                        ++m_nLine;
                        Advance();
                        break;
                    }
                    // A carriage return that ends the file adds nothing: the
                    // line simply ends there.
                    if (next == EndOfFile) break;
                    out += L"\r\n";
                    AppendByte(out, next);
                    Advance();
                    continue;
                }
                AppendByte(out, c);
                Advance();
            }
            SkipWhitespace();
        }
        return true;
    }
    return false;
}

bool tVellumLexer::ReadAtToken(WString& out) {
    out.clear();
    SkipWhitespace();
    if (m_nCurrent != '@') return false;
    out.push_back(L'@');
    const int next = Advance();
    if (next == EndOfFile || IsSpace(next)) return true;
    WString rest;
    if (ReadSymbol(rest) || ReadString(rest)) out += rest;
    return true;
}

bool tVellumLexer::ReadBalanced(WString& out, bool includeClose) {
    const std::size_t from = out.size();
    ReadBalancedBytes(out, includeClose);
    ConvertWhole(out, from);
    return true;
}

void tVellumLexer::ReadBalancedBytes(WString& out, bool includeClose) {
    if (m_nCurrent == EndOfFile) return;
    int depth = 1;
    for (;;) {
        AppendRun(out, BalancedStop);
        const int c = m_nCurrent;
        if (c == EndOfFile) break;
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth == 0 && !includeClose) {
                Advance();
                break;
            }
        } else if (c == '\n') {
            ++m_nLine;
        }
        AppendByte(out, c);
        Advance();
        if (includeClose && depth == 0) break;
    }
}

WString tVellumLexer::ReadWord() {
    WString word;
    if (IsAsciiLetterOrDigit(m_nCurrent)) {
        while (IsAsciiLetterOrDigit(m_nCurrent)) {
            AppendByte(word, m_nCurrent);
            Advance();
        }
        return word;
    }
    if (ReadString(word)) return word;
    if (m_nCurrent != EndOfFile) AppendByte(word, m_nCurrent);
    return word;
}

}  // namespace lum
