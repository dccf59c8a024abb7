#pragma once
// Writing a loaded model back to files: each main file, and each unit that
// was loaded from a file of its own split out again into a file of its own,
// under an output directory with the unit files' folders kept relative to
// the main file. Stored unit paths can be re-pointed (a symbol to another
// symbol or path, or every path made relative to the file holding the
// stub); every change is reported. Files are replaced only through a
// temporary file renamed over them, and an input file is never written
// unless the model is written in place.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {
class ClumVellumFile;
}

namespace lum::write {

// A stored path component "$SYMBOL" (any case) becomes `path`.
struct Relocation {
    WString symbol;
    WString path;
};

struct Options {
    WString outputDir;                    // where the files go; unused in place
    std::optional<unsigned int> codePage;  // the text's code page; default: the one the model was read in
    std::optional<unsigned int> readCodePage;  // the code page the model was read in; default: the thread's
    std::vector<Relocation> relocations;
    bool relative = false;  // stub paths relative to the file holding the stub ("&\...")
    bool inPlace = false;   // replace the files the model was read from
    // Each file read again from where it was read, so that every part the
    // model did not change is written back as the file has it; without it,
    // or where a file cannot be read, everything is laid out as saved models are.
    bool keepLayout = true;
    // 1: the files are read again on the calling thread, each before it is
    // written; otherwise each is read on a thread of its own while the one
    // before it is written.
    unsigned threads = 0;
    // Each file flushed to disk before it replaces the old one, so that
    // even a power failure leaves one of the two whole; without it a killed
    // process still leaves them whole.
    bool flushToDisk = true;
    // Failure injection: every output fails after this many bytes (0: never).
    std::uint64_t failAfterBytes = 0;
};

struct WrittenFile {
    WString path;
    WString from;  // the file its content was read from
    std::uint64_t bytes = 0;
};

struct WriteReport {
    bool ok = true;  // false when a file was not written
    std::vector<WrittenFile> files;
    std::vector<WString> changes;  // stored paths re-pointed, code page and charSet changes
    std::vector<WString> errors;   // files not written, and why; their targets are untouched
    std::size_t unrepresentable = 0;
};

WriteReport WriteBack(std::span<const ClumVellumFile* const> files, const Options& options);

// The charSet a header declares for a code page, or none for UTF-8 and
// pages the header cannot name.
std::optional<int> CharSetOfCodePage(unsigned int codePage);

}  // namespace lum::write
LUM_API_END
