#pragma once
// tPointerMap: raw object -> element, open addressing with linear probing.
// Keys are never removed; the table doubles at half load.

#include <cstdint>
#include <utility>
#include <vector>

namespace lum::uml::detail {

template <class Key, class Value>
class tPointerMap {
public:
    tPointerMap() : m_slots(64) {}

    void Insert(const Key* key, Value* value) {
        if ((m_count + 1) * 2 > m_slots.size()) Grow();
        if (Place(m_slots, key, value)) ++m_count;
    }
    Value* Find(const Key* key) const {
        if (key == nullptr) return nullptr;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
            if (m_slots[i].first == key) return m_slots[i].second;
            if (m_slots[i].first == nullptr) return nullptr;
        }
    }

private:
    using Slot = std::pair<const Key*, Value*>;

    static std::size_t Hash(const Key* key) {
        return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(key) >> 3) * 0x9E3779B97F4A7C15ull >> 17);
    }
    // True when the key was new.
    static bool Place(std::vector<Slot>& slots, const Key* key, Value* value) {
        const std::size_t mask = slots.size() - 1;
        for (std::size_t i = Hash(key) & mask;; i = (i + 1) & mask) {
            if (slots[i].first == key) {
                slots[i].second = value;
                return false;
            }
            if (slots[i].first == nullptr) {
                slots[i] = {key, value};
                return true;
            }
        }
    }
    void Grow() {
        std::vector<Slot> bigger(m_slots.size() * 2);
        for (const Slot& slot : m_slots)
            if (slot.first != nullptr) Place(bigger, slot.first, slot.second);
        m_slots.swap(bigger);
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
};

}  // namespace lum::uml::detail
