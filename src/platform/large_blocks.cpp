#include "platform/large_blocks.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace lum::platform {

namespace {

#if defined(__linux__)
// From this size on a block is mapped on its own: fresh pages are zero
// already, and freeing gives them back to the system at once. Such a block
// is rounded up to whole huge pages and placed on a huge-page boundary, so
// that all of it can be backed by huge pages: a page fault costs far more
// than zeroing a page, and a huge page takes one fault instead of 512.
constexpr std::size_t MappedFrom = std::size_t{1} << 20;
constexpr std::size_t HugePage = std::size_t{2} << 20;

std::size_t MappedSize(std::size_t bytes) { return (bytes + HugePage - 1) / HugePage * HugePage; }

void* MapAligned(std::size_t size) {
    void* raw = mmap(nullptr, size + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + HugePage - 1) / HugePage * HugePage;
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t end = start + size + HugePage;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    void* block = reinterpret_cast<void*>(aligned);
#if defined(MADV_HUGEPAGE)
    madvise(block, size, MADV_HUGEPAGE);
#endif
    return block;
}
#endif

}  // namespace

void* AllocateZeroed(std::size_t bytes) {
#if defined(__linux__)
    if (bytes >= MappedFrom) return MapAligned(MappedSize(bytes));
#endif
    void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void FreeZeroed(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
#if defined(__linux__)
    if (bytes >= MappedFrom) {
        munmap(block, MappedSize(bytes));
        return;
    }
#endif
    std::free(block);
}

}  // namespace lum::platform
