#pragma once
// A hint that memory about to be read should be brought into the cache now,
// so that the misses of independent lookups overlap instead of following one
// another. It never faults and does nothing where the compiler offers no
// such hint.

namespace lum::platform {

inline void Prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

}  // namespace lum::platform
