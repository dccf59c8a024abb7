#include "heap_tuning.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace lumcli {

void TuneHeap() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    // The heap grows by this much address space at a time and keeps it
    // when memory is freed; one step serves models up to a few hundred MB.
    constexpr std::size_t kStep = std::size_t{1} << 30;
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    if (mallopt(M_TOP_PAD, static_cast<int>(kStep)) == 0) return;
    // Small blocks until the heap grows (by one step), then freed again.
    const void* const before = sbrk(0);
    std::vector<void*> blocks;
    while (sbrk(0) == before && blocks.size() < 64) blocks.push_back(std::malloc(64 << 10));
    for (void* block : blocks) std::free(block);
    const auto end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    if (end == static_cast<std::uintptr_t>(-1) || end < kStep) return;
    const std::uintptr_t begin = (end - kStep + kHugePage - 1) & ~(kHugePage - 1);
    if (begin < end) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}  // namespace lumcli
