#include "lum/platform/heap_tuning.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string_view>

#if defined(__GLIBC__)
#include <malloc.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace lum {

#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
namespace {

constexpr std::size_t kGiB = std::size_t{1} << 30;

// Address space is only reserved, never committed, unless the system counts
// every reserved byte against a fixed limit (strict overcommit): then the
// heap keeps the library's usual growth.
bool ReservingIsFree() {
    std::ifstream in("/proc/sys/vm/overcommit_memory");
    int mode = 2;
    return static_cast<bool>(in >> mode) && mode != 2;
}

// Half the memory of the machine, up to 16 GB: room for models of several
// gigabytes, and a size the system's overcommit heuristics accept.
std::size_t ReserveSize() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return kGiB;
    const std::size_t half = static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize) / 2;
    return std::clamp(half, kGiB, 16 * kGiB);
}

}  // namespace
#endif

namespace {

HeapRange TuneOnce() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    // The switch that turns it off, for comparing runs with and without.
    const char* const wanted = std::getenv("LUM_HEAP_TUNING");
    if ((wanted != nullptr && std::string_view(wanted) == "0") || !ReservingIsFree()) return {};
    // The heap grows once, by a large step of address space from which the
    // allocator takes what the model needs. A region of the heap advised for
    // huge pages keeps the advice only for the addresses it had when advised
    // (a later growth is a region of its own), so the step is made once,
    // large enough for the largest model, and never trimmed.
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const void* const before = sbrk(0);
    // -1: never trimmed. The step is taken as one block from the heap
    // (blocks this large would otherwise be mapped apart) and given back.
    constexpr int kMappedBlocks = 65536;  // the C library's default
    if (mallopt(M_TRIM_THRESHOLD, -1) == 0 || mallopt(M_MMAP_MAX, 0) == 0) return {};
    void* step = nullptr;
    for (std::size_t size = ReserveSize(); step == nullptr && size >= kGiB; size /= 2) step = std::malloc(size);
    std::free(step);
    mallopt(M_MMAP_MAX, kMappedBlocks);
    const auto begin = (reinterpret_cast<std::uintptr_t>(before) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (step == nullptr || begin >= end || madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE) != 0) {
        return {};
    }
    return {begin, end};
#else
    return {};
#endif
}

}  // namespace

HeapRange TuneHeap() {
    // A second step would be reserved above the first, and never used.
    static const HeapRange heap = TuneOnce();
    return heap;
}

HeapWarmer::HeapWarmer(HeapRange heap) {
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE)
    if (heap.begin == heap.end || std::thread::hardware_concurrency() < 2) return;
    m_ready = heap.begin;
    m_end = heap.end;
    m_thread = std::thread([this] { Run(); });
#else
    (void)heap;
#endif
}

HeapWarmer::~HeapWarmer() {
    m_stop.store(true, std::memory_order_relaxed);
    if (m_thread.joinable()) m_thread.join();
}

void HeapWarmer::Run() {
#if defined(__GLIBC__) && defined(MADV_POPULATE_WRITE)
    // Only a core with nothing else to do warms: where the loading thread's
    // helpers read unit files, they come first.
    const sched_param idle{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
    // How far ahead of the allocator pages are made ready: a few
    // milliseconds of building, and little memory.
    constexpr std::uintptr_t kLead = std::uintptr_t{4} << 20;
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    using tClock = std::chrono::steady_clock;
    while (!m_stop.load(std::memory_order_relaxed)) {
        // The heap is taken from the bottom up: above its top chunk (whose
        // size the C library reports as keepcost) nothing is in use. Asking
        // walks the allocator's free lists under its lock: cheap while the
        // model is built and little is freed, but milliseconds once much
        // has been, when the loading thread wants the lock and the caches
        // for itself. So the warmer waits between questions at least eight
        // times as long as the last one took: never more than a ninth of
        // the lock's time.
        const tClock::time_point asked = tClock::now();
        const std::uintptr_t top = m_end - mallinfo2().keepcost;
        const tClock::duration asking = tClock::now() - asked;
        const std::uintptr_t wanted = std::min(m_end, (top + kLead + kHugePage - 1) & ~(kHugePage - 1));
        if (m_ready >= wanted) {
            std::this_thread::sleep_for(std::max<tClock::duration>(std::chrono::microseconds(500), 8 * asking));
            continue;
        }
        // A system that does not know MADV_POPULATE_WRITE refuses it: then
        // there is nothing to warm with.
        if (madvise(reinterpret_cast<void*>(m_ready), kHugePage, MADV_POPULATE_WRITE) != 0) return;
        m_ready += kHugePage;
    }
#endif
}

}  // namespace lum
