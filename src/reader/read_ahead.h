#pragma once
// tObjectReadAhead: reads objects of a large file on helper threads while
// the file's own builder reads the rest. One helper first finds the runs of
// objects worth taking (FindObjectsToReadAhead); then the helpers read them
// from the last one backwards, each run by one helper with a builder of its
// own that stops where the run ends, until they meet the file's builder
// coming forwards. That builder claims each run as its reading reaches it:
// read already (it splices the objects in and skips their text), being read
// (it waits), or not started (it reads the run itself).
//
// Objects read apart are what the file's builder makes of the same text: an
// object's construct opens the same way wherever it stands, and the
// diagnostics are recorded with their lines and added to the file's list,
// in order, when the objects are spliced. A read is used only where that
// holds: at the place found, on the line found, inside a list (or, for a
// single object, after a feature name), and complete.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "lum/diagnostics/error_list.h"
#include "lum/model/classes/ClumVellumFile.h"
#include "reader/model_builder.h"
#include "reader/object_scanner.h"
#include "lum/reader/parse_files.h"

namespace lum {

class ClumObjectRef;

// One object of a run read apart (null when its class is not known), where
// reading goes on after it, and how many of the run's diagnostics, objects
// set aside and unit stubs came up to its end.
struct tReadObject {
    ClumVellumEntity* object;
    std::uint64_t end;
    int endLine;
    std::size_t errors;
    std::size_t setAside;
    std::size_t units;
};

// What reading a run of objects apart gives: the objects, what was set
// aside and the unit stubs found inside them, the diagnostics, the fonts and
// every reference to them.
struct tObjectRead {
    std::uint64_t runEnd = 0;  // where the run should end
    bool complete = false;     // the whole run was read, and nothing else
    bool externalDocs = false;  // an external document was made
    std::vector<tReadObject> objects;
    ClumVellumFile file;  // only its set-aside objects are used
    std::list<ClumUnitObject*> units;
    tErrorList errors;
    std::map<tFontKey, ClumFont*> fonts;
    std::vector<std::pair<const ClumObjectRef*, ClumFont*>> fontUses;

    tObjectRead() = default;
    tObjectRead(const tObjectRead&) = delete;
    tObjectRead& operator=(const tObjectRead&) = delete;
    // Frees what was not spliced.
    ~tObjectRead();
};

class tObjectReadAhead {
public:
    // Starts `helpers` threads (at least one) on the file at `path` (a name
    // the system opens), read by the calling thread as `fileName`, with its
    // code page and text settings. With `readEach` the builder waits for
    // every run found to be read apart (for tests: the most splicing a file
    // can get).
    tObjectReadAhead(const WString& fileName, std::string path, std::uint64_t minObjectBytes, unsigned helpers,
                     bool readEach = false);
    // Stops the helpers after the runs they are reading; what was never
    // claimed is freed.
    ~tObjectReadAhead();
    tObjectReadAhead(const tObjectReadAhead&) = delete;
    tObjectReadAhead& operator=(const tObjectReadAhead&) = delete;

    // Where the builder should next ask, at or after `from`: the next object
    // found, a little further on while the search goes on, or NoMark when
    // none is left. Objects before `from` are given up.
    std::uint64_t Next(std::uint64_t from);
    // The complete read of the run whose first construct opens at `offset`
    // on `line`, or null when the builder should read it itself: none was
    // found there, it was not read ahead, or it was found on another line.
    std::unique_ptr<tObjectRead> Claim(std::uint64_t offset, int line);

    static constexpr std::uint64_t NoMark = tVellumReader::NoMark;

private:
    enum class tState : unsigned char { Waiting, Reading, Read, GivenUp };

    // A helper's life; the first one `searches` the file for runs.
    void Work(bool searches);
    void Stop();
    // False at once when the search is still going on, unless m_readEach.
    bool Ready();
    // Gives up the objects before `offset` that the builder went past.
    void PassBefore(std::uint64_t offset);

    WString m_fileName;
    std::string m_path;
    std::uint64_t m_minObjectBytes;
    bool m_readEach;
    unsigned m_codePage;
    bool m_wholeTexts;
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_read;
    std::vector<tObjectStart> m_starts;
    std::vector<tState> m_states;
    std::vector<std::unique_ptr<tObjectRead>> m_reads;
    std::size_t m_next = 0;  // the first run the builder has not reached
    std::size_t m_back = 0;  // the runs from here on are taken by helpers
    std::vector<std::thread> m_helpers;
};

// Reads `fileName` as ClumParser::Parse does, whatever its size, with each
// run of objects of at least `minObjectBytes` that fits read apart by one of
// `helpers` threads.
FileRead ParseReadingAhead(const WString& fileName, ClumVellumFile& file, std::list<ClumUnitObject*>& units,
                            std::uint64_t minObjectBytes, unsigned helpers = 1);

}  // namespace lum
