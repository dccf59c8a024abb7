#pragma once
// Pieces the reading benchmarks share: a stream over bytes already in
// memory, a reader that ignores its events (the tokenizing floor), and the
// two loops built on them: tokenizing a text and the memchr baseline.

#include <cstddef>
#include <cstring>
#include <istream>
#include <streambuf>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "lum/reader/vellum_lexer.h"
#include "lum/reader/vellum_reader.h"

namespace lumbench {

// A get area set over existing bytes: the stream reads them without a copy.
class tMemoryBuffer : public std::streambuf {
public:
    tMemoryBuffer(const char* data, std::size_t size) {
        char* begin = const_cast<char*>(data);
        setg(begin, begin, begin + size);
    }
};

// Receives every event and does nothing with it.
class tNullReader final : public lum::tVellumReader {
protected:
    void OnConstruct(const lum::WString&, const lum::WString&, const std::vector<lum::WString>&) override {}
    void OnClose() override {}
    void OnFeature(const lum::WString&, const lum::WString&, bool) override {}
};

// Reads the whole text with a reader that ignores its events.
inline void Tokenize(const std::string& text) {
    tMemoryBuffer buffer(text.data(), text.size());
    std::istream in(&buffer);
    lum::tVellumLexer lexer(in);
    tNullReader reader;
    reader.Run(lexer);
    benchmark::DoNotOptimize(lexer.GetLine());
}

// The lines of the text, counted with memchr: the baseline scan.
inline std::size_t CountLines(const std::string& text) {
    std::size_t lines = 0;
    const char* p = text.data();
    const char* end = p + text.size();
    while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
        ++lines;
        ++p;
    }
    return lines;
}

}  // namespace lumbench
