#pragma once
// ClumParser: reads model files into ClumVellumFile objects. Every problem
// but a file that cannot be opened is recorded on the current error list and
// reading goes on.

#include <istream>
#include <list>
#include <vector>

#include "lum/export.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumFile;
class ClumUnitObject;

class ClumParser {
public:
    // Reads one file into `file` and appends the unit stubs it holds (units
    // whose own file is not loaded yet) to `units`. Throws
    // tCannotOpenFileException when the file cannot be opened. With more
    // than one thread (0: one per core), a large file is read by that many:
    // the others read objects further on meanwhile; the file and the
    // diagnostics are those of one thread.
    static void Parse(const WString& fileName, ClumVellumFile& file, std::list<ClumUnitObject*>& units,
                      unsigned threads = 1);

    // The same from a stream the caller opened (in binary mode); `fileName`
    // is only recorded in the file object.
    static void Parse(std::istream& in, const WString& fileName, ClumVellumFile& file,
                      std::list<ClumUnitObject*>& units);

    // Reads each file into a new file object and appends those that hold a
    // design or a unit to `files` (the caller owns them); a file that cannot
    // be read is skipped without a message. `threads` as for one file.
    static void Parse(const std::vector<WString>& fileNames, std::vector<ClumVellumFile*>& files,
                      std::list<ClumUnitObject*>& units, unsigned threads = 1);

    // The name of the file the calling thread is reading right now, empty
    // between files: a host's error list can note where each message came from.
    static const WString& GetCurrentFileName();

    // Names `fileName` as the file the calling thread reads for as long as
    // it lives: for diagnostics of a file recorded elsewhere (read ahead on
    // another thread) and added to the host's list afterwards.
    class CurrentFile {
    public:
        explicit CurrentFile(const WString& fileName);
        ~CurrentFile();
        CurrentFile(const CurrentFile&) = delete;
        CurrentFile& operator=(const CurrentFile&) = delete;

    private:
        WString m_previous;
    };
};

}  // namespace lum
LUM_API_END
