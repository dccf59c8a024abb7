#pragma once
// Pieces the reading benchmarks share: a stream over bytes already in
// memory, and a reader that ignores its events (the tokenizing floor).

#include <cstddef>
#include <streambuf>
#include <vector>

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

}  // namespace lumbench
