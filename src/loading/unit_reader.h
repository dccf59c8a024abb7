#pragma once
// tUnitReader: reads unit files ahead of the loading walk on worker threads.
// The walk offers the files it will need next; when it reaches one it claims
// the read: done already, being done (meanwhile it reads the next waiting
// ones itself), or not started (it reads it itself). A read records its diagnostics in a list of its own, which the
// walk adds to its own list when it claims the read, so the diagnostics
// come in the order a walk reading one file after another gives them (the
// diagnostics of reading name lines, never objects, so they keep their
// meaning when added later).
// Workers read with the code page and text settings of the thread that made
// the reader.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "lum/diagnostics/error_list.h"
#include "lum/diagnostics/reporter.h"
#include "lum/model/classes/ClumVellumFile.h"
#include "lum/text/wstring.h"

namespace lum {

class ClumUnitObject;

class tUnitReader {
public:
    // The outcome of reading one file: the file's objects and the stubs
    // found in it (when `read`), whether it may hold external documents,
    // and the diagnostics of reading it.
    struct tRead {
        ClumVellumFile file;
        std::list<ClumUnitObject*> units;
        tErrorList errors;
        bool read = false;
        bool externalDocs = false;
    };

    // `workers` threads besides the caller's; 0 reads nothing ahead.
    explicit tUnitReader(unsigned workers);
    // Stops the workers; reads never claimed are dropped.
    ~tUnitReader();
    tUnitReader(const tUnitReader&) = delete;
    tUnitReader& operator=(const tUnitReader&) = delete;

    bool ReadsAhead() const { return !m_workers.empty(); }
    // Queues the read of `path` for the walk's entry `id`.
    void Offer(std::size_t id, const WString& path);
    // The read of `path` for entry `id`, or null when none was offered for
    // that entry and path (the caller reads the file itself).
    std::unique_ptr<tRead> Claim(std::size_t id, const WString& path);
    // Reads `path` on the calling thread, its diagnostics kept apart.
    static std::unique_ptr<tRead> ReadNow(const WString& path);

private:
    struct tJob {
        WString path;
        enum { Waiting, Running, Done } state = Waiting;
        std::unique_ptr<tRead> result;
        std::exception_ptr failure;
    };

    void Work();
    // Takes the oldest waiting job and reads it on the calling thread; the
    // lock is held on entry and on return, not while reading.
    void RunNext(std::unique_lock<std::mutex>& lock);
    static void Run(tJob& job);

    unsigned m_codePage;
    bool m_wholeTexts;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::unordered_map<std::size_t, std::unique_ptr<tJob>> m_jobs;
    std::deque<std::size_t> m_queue;  // waiting jobs, oldest first
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

}  // namespace lum
