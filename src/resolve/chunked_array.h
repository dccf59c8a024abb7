#pragma once
// tChunkedArray: an array that grows by adding blocks instead of moving what
// it holds, so elements stay put and growing never copies. Blocks double in
// size and come zeroed from platform/large_blocks.h, so the large ones can be
// backed by huge pages. T must be trivially copyable, with all-zero bytes as
// its empty state.

#include <bit>
#include <cstddef>
#include <type_traits>

#include "platform/large_blocks.h"

namespace lum {

template <class T>
class tChunkedArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    tChunkedArray() = default;
    tChunkedArray(const tChunkedArray&) = delete;
    tChunkedArray& operator=(const tChunkedArray&) = delete;
    ~tChunkedArray() { clear(); }

    // Empties the array and gives its blocks back.
    void clear() {
        for (std::size_t k = 0; k < MaxBlocks && m_blocks[k] != nullptr; ++k) {
            platform::FreeZeroed(m_blocks[k], BlockLength(k) * sizeof(T));
            m_blocks[k] = nullptr;
        }
        m_size = 0;
    }

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    T& operator[](std::size_t i) {
        const std::size_t k = BlockOf(i);
        return m_blocks[k][i - BlockStart(k)];
    }
    const T& operator[](std::size_t i) const {
        const std::size_t k = BlockOf(i);
        return m_blocks[k][i - BlockStart(k)];
    }

    // A new element at the end, all zero.
    T& emplace_back() {
        const std::size_t k = BlockOf(m_size);
        if (m_blocks[k] == nullptr) m_blocks[k] = static_cast<T*>(platform::AllocateZeroed(BlockLength(k) * sizeof(T)));
        return m_blocks[k][m_size++ - BlockStart(k)];
    }
    void push_back(const T& value) { emplace_back() = value; }

private:
    // Block 0 holds the first First elements, block k >= 1 the next First << (k - 1).
    static constexpr std::size_t First = 1024;
    static constexpr std::size_t MaxBlocks = 48;

    static std::size_t BlockOf(std::size_t i) { return i < First ? 0 : std::bit_width(i / First); }
    static std::size_t BlockStart(std::size_t k) { return k == 0 ? 0 : First << (k - 1); }
    static std::size_t BlockLength(std::size_t k) { return k == 0 ? First : First << (k - 1); }

    T* m_blocks[MaxBlocks] = {};
    std::size_t m_size = 0;
};

}  // namespace lum
