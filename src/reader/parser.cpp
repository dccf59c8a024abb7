#include "lum/reader/parser.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <thread>

#include "lum/diagnostics/exceptions.h"
#include "lum/model/classes/ClumVellumFile.h"
#include "platform/file_names.h"
#include "reader/model_builder.h"
#include "lum/reader/parse_files.h"
#include "reader/read_ahead.h"

namespace lum {

namespace {

// Per thread: each thread reads its own files.
thread_local WString t_currentFile;

// Files smaller than this are read by one thread: finding and handing over
// objects would cost more than it saves.
constexpr std::uint64_t kReadAheadFileBytes = std::uint64_t{4} << 20;
// Objects read ahead span at least this much: enough reading to outweigh
// handing them over, small enough that the two threads finish together.
constexpr std::uint64_t kReadAheadObjectBytes = std::uint64_t{64} << 10;

FileRead ParseStream(std::istream& in, const WString& fileName, ClumVellumFile& file,
                        std::list<ClumUnitObject*>& units, tObjectReadAhead* ahead) {
    ClumParser::CurrentFile current(fileName);
    const auto firstNew = units.empty() ? units.end() : std::prev(units.end());
    const bool hadUnits = !units.empty();
    FileRead read;
    try {
        tModelBuilder builder(file, units);
        if (ahead != nullptr) builder.ReadAheadWith(*ahead);
        tVellumLexer lexer(in);
        builder.Run(lexer);
        builder.Finish();
        read = {builder.Spliced(), builder.MadeExternalDocs()};
    } catch (...) {
        // The stubs found in this file died with the objects of the builder.
        units.erase(hadUnits ? std::next(firstNew) : units.begin(), units.end());
        throw;
    }
    file.fileName.Set(fileName);
    return read;
}

// Opens a model file; only regular files: a directory opens as a stream on
// some systems but cannot be read, and a device or pipe may never end or
// never answer. Its size is 0 when unknown.
std::ifstream OpenModelFile(const WString& fileName, std::string& name, std::uint64_t& size) {
    name = platform::FindFileName(fileName);
    std::error_code error;
    std::ifstream in;
    size = 0;
    if (std::filesystem::is_regular_file(name, error)) {
        in.open(name, std::ios::in | std::ios::binary);
        const auto bytes = std::filesystem::file_size(name, error);
        if (!error) size = bytes;
    }
    if (!in.is_open()) throw tCannotOpenFileException(fileName);
    return in;
}

}  // namespace

ClumParser::CurrentFile::CurrentFile(const WString& fileName) : m_previous(t_currentFile) {
    t_currentFile = fileName;
}

ClumParser::CurrentFile::~CurrentFile() { t_currentFile = m_previous; }

const WString& ClumParser::GetCurrentFileName() { return t_currentFile; }

void ClumParser::Parse(std::istream& in, const WString& fileName, ClumVellumFile& file,
                       std::list<ClumUnitObject*>& units) {
    ParseStream(in, fileName, file, units, nullptr);
}

void ClumParser::Parse(const WString& fileName, ClumVellumFile& file, std::list<ClumUnitObject*>& units,
                       unsigned threads) {
    ParseFile(fileName, file, units, threads);
}

FileRead ParseFile(const WString& fileName, ClumVellumFile& file, std::list<ClumUnitObject*>& units,
                    unsigned threads) {
    std::string name;
    std::uint64_t size = 0;
    std::ifstream in = OpenModelFile(fileName, name, size);
    if (threads == 0) threads = std::thread::hardware_concurrency();
    if (threads < 2 || size < kReadAheadFileBytes) return ParseStream(in, fileName, file, units, nullptr);
    tObjectReadAhead ahead(fileName, name, kReadAheadObjectBytes, threads - 1);
    return ParseStream(in, fileName, file, units, &ahead);
}

FileRead ParseReadingAhead(const WString& fileName, ClumVellumFile& file, std::list<ClumUnitObject*>& units,
                            std::uint64_t minObjectBytes, unsigned helpers) {
    std::string name;
    std::uint64_t size = 0;
    std::ifstream in = OpenModelFile(fileName, name, size);
    tObjectReadAhead ahead(fileName, name, minObjectBytes, helpers, true);
    return ParseStream(in, fileName, file, units, &ahead);
}

void ClumParser::Parse(const std::vector<WString>& fileNames, std::vector<ClumVellumFile*>& files,
                       std::list<ClumUnitObject*>& units, unsigned threads) {
    std::vector<bool> externalDocs;
    ParseFiles(fileNames, files, units, threads, externalDocs);
}

void ParseFiles(const std::vector<WString>& fileNames, std::vector<ClumVellumFile*>& files,
                std::list<ClumUnitObject*>& units, unsigned threads, std::vector<bool>& externalDocs) {
    for (const WString& fileName : fileNames) {
        auto* file = new ClumVellumFile();
        bool docs = false;
        try {
            docs = ParseFile(fileName, *file, units, threads).externalDocs;
        } catch (...) {
            delete file;
            continue;
        }
        if (file->design.GetSize() + file->unit.GetSize() > 0) {
            files.push_back(file);
            externalDocs.push_back(docs);
        } else {
            ForgetUnitsInside(units, file);
            delete file;
        }
    }
}

}  // namespace lum
