// The global allocator of lum_stage_bench, counting live heap bytes and
// their peak (the benchmarks are single-threaded). Sizes come from
// malloc_usable_size, so no header is added to the blocks.

#include <malloc.h>

#include <cstdlib>
#include <new>

#include "stage_support.h"

namespace {
std::size_t g_live = 0;
std::size_t g_peak = 0;

void* Allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    g_live += malloc_usable_size(block);
    if (g_live > g_peak) g_peak = g_live;
    return block;
}

void Release(void* block) noexcept {
    if (block == nullptr) return;
    g_live -= malloc_usable_size(block);
    std::free(block);
}
}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }

namespace lumbench {

std::size_t HeapLive() { return g_live; }
std::size_t HeapPeak() { return g_peak; }
void ResetHeapPeak() { g_peak = g_live; }

}  // namespace lumbench
