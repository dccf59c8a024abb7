#pragma once
// Opt-in heap settings for processes that read large models: the host (the
// tool, the Python module, a program of its own) asks for them before it
// allocates much; the library itself never does.

#include <atomic>
#include <cstdint>
#include <thread>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

// The addresses of the heap's reserved step; empty where none was made.
struct HeapRange {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
};

// Models of hundreds of megabytes are built from millions of small objects.
// With the GNU C library, the heap is made to grow once, by a step of
// address space large enough for models of gigabytes, advised to use
// transparent huge pages, so that building the model takes far fewer page
// faults and address translations. Only the pages the model touches cost
// memory, but the heap is never trimmed: memory the process frees stays
// its own until it ends. Done once per process (later calls return the
// first one's range); nothing is done, and the range is empty, where the
// environment sets LUM_HEAP_TUNING=0 or the system cannot do it.
HeapRange TuneHeap();

// Fresh pages cost the system a clearing on first write, and on a virtual
// machine whose host has taken idle memory back, far more (0.7 s for the
// 300 MB of a 100 MB model, against 0.04 s for pages just given back by
// another process). While a HeapWarmer lives, another thread faults in the
// pages just above the part of the heap in use, a few megabytes ahead of
// the allocator, so that the loading thread finds them ready. It never
// writes to the heap; at most its lead stays resident unused. An empty
// range starts no thread.
class HeapWarmer {
public:
    explicit HeapWarmer(HeapRange heap);
    ~HeapWarmer();
    HeapWarmer(const HeapWarmer&) = delete;
    HeapWarmer& operator=(const HeapWarmer&) = delete;

private:
    void Run();

    std::uintptr_t m_ready = 0;  // the heap's pages are faulted in below this address
    std::uintptr_t m_end = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace lum
LUM_API_END
