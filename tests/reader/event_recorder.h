#pragma once
// Test helpers shared by the reader tests: a tVellumReader that records every
// event as one compact line, stream buffers that deliver text in awkward
// ways, and guards for the error reporter and the code page.
//
// Event lines:
//   C keyword|classOrText|[arg,arg] @line   OnConstruct
//   X @line                                 OnClose
//   F name|value|hasValue @line             OnFeature (hasValue is 0 or 1)
// where line is the lexer's line when the event arrived. Texts are printed
// with \\, \r, \n, \t escaped and every other control or non-ASCII code unit
// as \u{HEX}, so that the expected lines stay plain ASCII.

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "lum/diagnostics/error_list.h"
#include "lum/diagnostics/reporter.h"
#include "lum/reader/vellum_lexer.h"
#include "lum/reader/vellum_reader.h"
#include "lum/text/wstring.h"

namespace lum::test {

inline std::string Printable(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t ch : text) {
        const auto code = static_cast<unsigned long>(ch);
        if (ch == L'\\') {
            out += "\\\\";
        } else if (ch == L'\r') {
            out += "\\r";
        } else if (ch == L'\n') {
            out += "\\n";
        } else if (ch == L'\t') {
            out += "\\t";
        } else if (code < 0x20 || code >= 0x7F) {
            char buffer[24];
            std::snprintf(buffer, sizeof buffer, "\\u{%lX}", code);
            out += buffer;
        } else {
            out += static_cast<char>(ch);
        }
    }
    return out;
}

class tEventRecorder : public tVellumReader {
public:
    std::vector<std::string> events;

protected:
    void OnConstruct(const WString& keyword, const WString& classOrText,
                     const std::vector<WString>& arguments) override {
        std::string line = "C " + Printable(keyword) + "|" + Printable(classOrText) + "|[";
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            if (i != 0) line += ",";
            line += Printable(arguments[i]);
        }
        line += "]";
        Add(std::move(line));
    }
    void OnClose() override { Add("X"); }
    void OnFeature(const WString& name, const WString& value, bool hasValue) override {
        Add("F " + Printable(name) + "|" + Printable(value) + "|" + (hasValue ? "1" : "0"));
    }

    void Add(std::string event) {
        events.push_back(std::move(event) + " @" + std::to_string(GetLexer().GetLine()));
    }
};

// Makes a private error list current for the lifetime of the guard.
class tCapturedErrors {
public:
    tCapturedErrors() { CErrorReporter::GetInstance().SetErrorList(m_errors); }
    ~tCapturedErrors() { CErrorReporter::GetInstance().ResetReporter(); }
    tCapturedErrors(const tCapturedErrors&) = delete;
    tCapturedErrors& operator=(const tCapturedErrors&) = delete;

    const tErrorList& List() const { return m_errors; }
    // "severity line: message" for each error, in order.
    std::vector<std::string> Lines() const {
        std::vector<std::string> out;
        for (const tError& error : m_errors) {
            out.push_back(Printable(tError::ToString(error.severity)) + " " + std::to_string(error.subject.line) +
                          ": " + Printable(error.message));
        }
        return out;
    }

private:
    tErrorList m_errors;
};

// Switches the code page for the lifetime of the guard.
class tCodePage {
public:
    explicit tCodePage(unsigned int page) : m_nPrevious(WString::GetLocalePage()) { WString::SetLocalePage(page); }
    ~tCodePage() { WString::SetLocalePage(m_nPrevious); }
    tCodePage(const tCodePage&) = delete;
    tCodePage& operator=(const tCodePage&) = delete;

private:
    unsigned int m_nPrevious;
};

// Hands out the text a few bytes at a time: every refill of the get area
// makes the next 1 to `maxChunk` bytes visible, so that tokens straddle the
// refills of the lexer at every possible offset. With `shortReads`, a bulk
// read also stops at the end of the visible piece instead of refilling.
class tTrickleBuffer : public std::streambuf {
public:
    tTrickleBuffer(std::string text, std::size_t maxChunk, bool shortReads)
        : m_text(std::move(text)), m_nMaxChunk(std::max<std::size_t>(maxChunk, 1)), m_bShortReads(shortReads) {
        setg(m_text.data(), m_text.data(), m_text.data());
    }

protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        const std::size_t done = static_cast<std::size_t>(egptr() - m_text.data());
        if (done >= m_text.size()) return traits_type::eof();
        m_nStep = m_nStep * 7 + 3;
        const std::size_t chunk = std::min(m_text.size() - done, 1 + m_nStep % m_nMaxChunk);
        setg(m_text.data() + done, m_text.data() + done, m_text.data() + done + chunk);
        return traits_type::to_int_type(*gptr());
    }
    std::streamsize xsgetn(char* out, std::streamsize count) override {
        if (!m_bShortReads) return std::streambuf::xsgetn(out, count);
        if (count <= 0 || traits_type::eq_int_type(underflow(), traits_type::eof())) return 0;
        const std::streamsize n = std::min<std::streamsize>(count, egptr() - gptr());
        std::copy(gptr(), gptr() + n, out);
        gbump(static_cast<int>(n));
        return n;
    }

private:
    std::string m_text;
    std::size_t m_nMaxChunk;
    bool m_bShortReads;
    std::size_t m_nStep = 0;
};

// Reads `text` from the start with a fresh recorder.
inline std::vector<std::string> ReadEvents(const std::string& text) {
    std::istringstream in(text, std::ios::in | std::ios::binary);
    tVellumLexer lexer(in);
    tEventRecorder recorder;
    recorder.Run(lexer);
    return recorder.events;
}

// The same through a tTrickleBuffer.
inline std::vector<std::string> ReadEventsTrickled(const std::string& text, std::size_t maxChunk,
                                                   bool shortReads) {
    tTrickleBuffer buffer(text, maxChunk, shortReads);
    std::istream in(&buffer);
    tVellumLexer lexer(in);
    tEventRecorder recorder;
    recorder.Run(lexer);
    return recorder.events;
}

}  // namespace lum::test
