#pragma once
// Heap settings for reading large models, made before the tool allocates.

#include <atomic>
#include <cstdint>
#include <thread>

namespace lumcli {

// The addresses of the heap's reserved step; empty where none was made.
struct tHeapRange {
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;
};

// Models of hundreds of megabytes are built from millions of small objects.
// With the GNU C library, the heap is made to grow once, by a step of
// address space large enough for models of gigabytes, advised to use
// transparent huge pages, so that building the model takes far fewer page
// faults and address translations. Only the pages the model touches cost
// memory; the heap is never trimmed, since the tool ends soon after.
tHeapRange TuneHeap();

// Fresh pages cost the system a clearing on first write, and on a virtual
// machine whose host has taken idle memory back, far more (0.7 s for the
// 300 MB of a 100 MB model, against 0.04 s for pages just given back by
// another process). While a tHeapWarmer lives, another thread faults in the
// pages just above the part of the heap in use, a few megabytes ahead of
// the allocator, so that the loading thread finds them ready. It never
// writes to the heap; at most its lead stays resident unused.
class tHeapWarmer {
public:
    explicit tHeapWarmer(tHeapRange heap);
    ~tHeapWarmer();
    tHeapWarmer(const tHeapWarmer&) = delete;
    tHeapWarmer& operator=(const tHeapWarmer&) = delete;

private:
    void Run();

    std::uintptr_t m_ready = 0;  // the heap's pages are faulted in below this address
    std::uintptr_t m_end = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

}  // namespace lumcli
