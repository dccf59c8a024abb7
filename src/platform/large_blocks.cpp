#include "platform/large_blocks.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace lum::platform {

namespace {

// From this size on a block is mapped on its own: fresh pages are zero
// already, and freeing gives them back to the system at once.
constexpr std::size_t MappedFrom = std::size_t{4} << 20;

}  // namespace

void* AllocateZeroed(std::size_t bytes) {
#if defined(__linux__)
    if (bytes >= MappedFrom) {
        void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
        madvise(block, bytes, MADV_HUGEPAGE);
#endif
        return block;
    }
#endif
    void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void FreeZeroed(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
#if defined(__linux__)
    if (bytes >= MappedFrom) {
        munmap(block, bytes);
        return;
    }
#endif
    std::free(block);
}

}  // namespace lum::platform
