#pragma once
// FindAnyOf: the first of the bytes `Bytes...` in [from, to), or `to`. Takes
// sixteen bytes a step where the processor has the vector instructions for
// it, one at a time elsewhere.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lum::platform {

template <char... Bytes>
const char* FindAnyOf(const char* from, const char* to) {
#if defined(__SSE2__)
    while (to - from >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        __m128i found = _mm_setzero_si128();
        ((found = _mm_or_si128(found, _mm_cmpeq_epi8(block, _mm_set1_epi8(Bytes)))), ...);
        if (const int mask = _mm_movemask_epi8(found)) return from + __builtin_ctz(static_cast<unsigned>(mask));
        from += 16;
    }
#endif
    while (from != to && !((*from == Bytes) || ...)) ++from;
    return from;
}

}  // namespace lum::platform
