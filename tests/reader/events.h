#pragma once
// A tVellumReader that records each event as one line, for the reader tests:
//   C keyword|classOrText|[arg,arg] @line   OnConstruct
//   X @line                                 OnClose
//   F name|value|hasValue @line             OnFeature
// with the lexer's line when the event came. Texts longer than `brief` show
// as "#length:hash"; \\, \r, \n and \t are escaped and every other control
// or non-ASCII code unit shows as \u{HEX}, so expected lines stay ASCII.
// Only the first `keep` events are kept; all are counted.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "support/lum_test.h"

namespace lum::test {

using Events = std::vector<std::string>;

inline std::string Printable(const std::wstring& text, std::size_t brief = 64) {
    std::string out;
    if (text.size() > brief) {
        std::uint64_t hash = 1469598103934665603ull;
        for (wchar_t ch : text) hash = (hash ^ static_cast<unsigned long>(ch)) * 1099511628211ull;
        char buffer[48];
        std::snprintf(buffer, sizeof buffer, "#%zu:%016llx", text.size(), static_cast<unsigned long long>(hash));
        return buffer;
    }
    for (wchar_t ch : text) {
        const auto code = static_cast<unsigned long>(ch);
        if (ch == L'\\') out += "\\\\";
        else if (ch == L'\r') out += "\\r";
        else if (ch == L'\n') out += "\\n";
        else if (ch == L'\t') out += "\\t";
        else if (code < 0x20 || code >= 0x7F) {
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
    explicit tEventRecorder(std::size_t keep = SIZE_MAX) : m_keep(keep) {}
    Events events;
    std::size_t constructs = 0, closes = 0, features = 0;
    int finalLine = 0;

    void Read(std::istream& in) {
        tVellumLexer lexer(in);
        Run(lexer);
        finalLine = lexer.GetLine();
    }

protected:
    void OnConstruct(const WString& keyword, const WString& classOrText, const std::vector<WString>& arguments) override {
        ++constructs;
        std::string line = "C " + Printable(keyword) + "|" + Printable(classOrText) + "|[";
        for (std::size_t i = 0; i < arguments.size(); ++i) line.append(i ? "," : "").append(Printable(arguments[i]));
        Add(line + "]");
    }
    void OnClose() override {
        ++closes;
        Add("X");
    }
    void OnFeature(const WString& name, const WString& value, bool hasValue) override {
        ++features;
        Add("F " + Printable(name) + "|" + Printable(value) + "|" + (hasValue ? "1" : "0"));
    }
    void Add(const std::string& event) {
        if (events.size() < m_keep) events.push_back(event + " @" + std::to_string(GetLexer().GetLine()));
    }

private:
    std::size_t m_keep;
};

// The events of `text`, read whole or through a tTrickleBuffer of `chunk` bytes.
inline Events ReadEvents(const std::string& text, std::size_t chunk = 0, bool shortReads = false) {
    tEventRecorder recorder;
    if (chunk == 0) {
        std::istringstream in(text, std::ios::in | std::ios::binary);
        recorder.Read(in);
    } else {
        tTrickleBuffer buffer(text, chunk, shortReads);
        std::istream in(&buffer);
        recorder.Read(in);
    }
    return recorder.events;
}

}  // namespace lum::test
