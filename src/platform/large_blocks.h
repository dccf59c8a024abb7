#pragma once
// Large zero-filled blocks for the indexes that grow to tens of megabytes
// (the name resolver's tables, the identifier pool's buckets). Where the
// system offers transparent huge pages, such blocks ask for them: they are
// touched at random, and huge pages save most of the page faults and address
// translations. Small blocks come from the C library.

#include <cstddef>

namespace lum::platform {

// `bytes` zero bytes, aligned for any object; throws std::bad_alloc.
void* AllocateZeroed(std::size_t bytes);
// Frees a block of AllocateZeroed with the size it was asked for.
void FreeZeroed(void* block, std::size_t bytes) noexcept;

}  // namespace lum::platform
