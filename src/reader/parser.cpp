#include "lum/reader/parser.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "lum/diagnostics/exceptions.h"
#include "lum/model/classes/ClumVellumFile.h"
#include "platform/file_names.h"
#include "reader/model_builder.h"

namespace lum {

namespace {

// Per thread: each thread reads its own files.
thread_local WString t_currentFile;

}  // namespace

ClumParser::tCurrentFile::tCurrentFile(const WString& fileName) : m_previous(t_currentFile) {
    t_currentFile = fileName;
}

ClumParser::tCurrentFile::~tCurrentFile() { t_currentFile = m_previous; }

const WString& ClumParser::GetCurrentFileName() { return t_currentFile; }

void ClumParser::Parse(std::istream& in, const WString& fileName, ClumVellumFile& file,
                       std::list<ClumUnitObject*>& units) {
    tCurrentFile current(fileName);
    const auto firstNew = units.empty() ? units.end() : std::prev(units.end());
    const bool hadUnits = !units.empty();
    try {
        tModelBuilder builder(file, units);
        tVellumLexer lexer(in);
        builder.Run(lexer);
        builder.Finish();
    } catch (...) {
        // The stubs found in this file died with the objects of the builder.
        units.erase(hadUnits ? std::next(firstNew) : units.begin(), units.end());
        throw;
    }
    file.fileName.Set(fileName);
}

void ClumParser::Parse(const WString& fileName, ClumVellumFile& file, std::list<ClumUnitObject*>& units) {
    const std::string name = platform::FindFileName(fileName);
    std::error_code error;
    // Only regular files: a directory opens as a stream on some systems but
    // cannot be read, and a device or pipe may never end or never answer.
    std::ifstream in;
    if (std::filesystem::is_regular_file(name, error)) in.open(name, std::ios::in | std::ios::binary);
    if (!in.is_open()) throw tCannotOpenFileException(fileName);
    Parse(in, fileName, file, units);
}

void ClumParser::Parse(const std::vector<WString>& fileNames, std::vector<ClumVellumFile*>& files,
                       std::list<ClumUnitObject*>& units) {
    for (const WString& fileName : fileNames) {
        auto* file = new ClumVellumFile();
        try {
            Parse(fileName, *file, units);
        } catch (...) {
            delete file;
            continue;
        }
        if (file->design.GetSize() + file->unit.GetSize() > 0) {
            files.push_back(file);
        } else {
            ForgetUnitsInside(units, file);
            delete file;
        }
    }
}

}  // namespace lum
