#pragma once
// tFlatTable: an open-addressing hash table for the resolver's indexes and
// the numbering of the objects the JSON export writes. Keys are small structs
// of pointers and numbers whose value-initialised state never occurs as a
// real key; values are small structs. Slots lie in one array probed
// linearly, so a lookup usually costs one cache line, and the table doubles
// when it is three quarters full. Values move when the table grows: nothing
// may keep a pointer to one across an insertion. Keys and values are plain
// data whose all-zero bytes are the empty state, so a new table comes zeroed
// from the system (see platform/large_blocks.h) instead of being written
// slot by slot.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "platform/large_blocks.h"
#include "platform/prefetch.h"

namespace lum::platform {

// Spreads a word over the high bits, which pick the slot.
inline std::uint64_t MixWord(std::uint64_t word) { return word * 0x9E3779B97F4A7C15ull; }

template <class Key, class Value, class Hash>
class tFlatTable {
public:
    tFlatTable() = default;
    tFlatTable(const tFlatTable&) = delete;
    tFlatTable& operator=(const tFlatTable&) = delete;
    ~tFlatTable() { platform::FreeZeroed(m_slots, m_capacity * sizeof(tSlot)); }

    // The value of `key`, or null.
    const Value* Find(const Key& key) const {
        if (m_capacity == 0) return nullptr;
        for (std::size_t i = Home(key);; i = (i + 1) & m_mask) {
            const tSlot& slot = m_slots[i];
            if (slot.key == key) return &slot.value;
            if (slot.key == Key{}) return nullptr;
        }
    }
    Value* Find(const Key& key) { return const_cast<Value*>(std::as_const(*this).Find(key)); }
    // Asks for the slot where a lookup of `key` starts, ahead of the lookup.
    void Prefetch(const Key& key) const {
        if (m_capacity != 0) platform::Prefetch(&m_slots[Home(key)]);
    }

    // The value of `key`, value-initialised when the key is new.
    Value& operator[](const Key& key) {
        if (4 * (m_size + 1) > 3 * m_capacity) Grow();
        std::size_t i = Home(key);
        while (!(m_slots[i].key == key)) {
            if (m_slots[i].key == Key{}) {
                m_slots[i].key = key;
                ++m_size;
                break;
            }
            i = (i + 1) & m_mask;
        }
        return m_slots[i].value;
    }

    std::size_t Size() const { return m_size; }
    // Room for `count` keys in all, so that adding up to that many never grows the table.
    void Reserve(std::size_t count) {
        while (4 * count > 3 * m_capacity) Grow();
    }

private:
    struct tSlot {
        Key key{};
        Value value{};
    };
    static_assert(std::is_trivially_copyable_v<tSlot>);

    std::size_t Home(const Key& key) const { return static_cast<std::size_t>(Hash{}(key) >> m_shift); }

    void Grow() {
        const std::size_t oldCapacity = m_capacity;
        tSlot* const old = m_slots;
        const std::size_t capacity = m_capacity == 0 ? 64 : 2 * m_capacity;
        m_slots = static_cast<tSlot*>(platform::AllocateZeroed(capacity * sizeof(tSlot)));
        m_capacity = capacity;
        m_mask = m_capacity - 1;
        m_shift = 64 - std::countr_zero(m_capacity);
        for (std::size_t j = 0; j < oldCapacity; ++j) {
            const tSlot& slot = old[j];
            if (slot.key == Key{}) continue;
            std::size_t i = Home(slot.key);
            while (!(m_slots[i].key == Key{})) i = (i + 1) & m_mask;
            m_slots[i] = slot;
        }
        platform::FreeZeroed(old, oldCapacity * sizeof(tSlot));
    }

    tSlot* m_slots = nullptr;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
    std::size_t m_mask = 0;
    int m_shift = 64;
};

}  // namespace lum::platform
