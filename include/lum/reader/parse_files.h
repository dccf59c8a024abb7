#pragma once
// Reading model files as ClumParser does, for the loading layer, which also
// needs to know whether a file may hold external documents: only such a file
// has stored paths of documents to resolve, and the walk that resolves them
// is spared for the others. Programs read files with ClumParser.

#include <cstddef>
#include <list>
#include <vector>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumUnitObject;
class ClumVellumFile;

// What reading a file told besides the file: how many objects read ahead
// on other threads were spliced in, and whether the file may hold an
// external document (one was made while reading it, on any thread).
struct FileRead {
    std::size_t spliced = 0;
    bool externalDocs = false;
};

// ClumParser::Parse of one file.
FileRead ParseFile(const WString& fileName, ClumVellumFile& file, std::list<ClumUnitObject*>& units, unsigned threads);

// ClumParser::Parse of several files; for each file appended to `files`,
// whether it may hold an external document is appended to `externalDocs`.
void ParseFiles(const std::vector<WString>& fileNames, std::vector<ClumVellumFile*>& files,
                std::list<ClumUnitObject*>& units, unsigned threads, std::vector<bool>& externalDocs);

}  // namespace lum
LUM_API_END
