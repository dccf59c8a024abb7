#pragma once
// A byte sink that keeps what is written in a string, for writing a file
// object to compare.

#include <string>

#include <lum/write/file_writer.h>

namespace lum::test {

struct tStringSink : write::ByteSink {
    std::string bytes;
    bool Write(const char* data, std::size_t count) override {
        bytes.append(data, count);
        return true;
    }
};

}  // namespace lum::test
