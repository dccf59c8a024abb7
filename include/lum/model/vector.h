#pragma once
// TlumVector: the container of a link, one machine word wide. Empty is 0;
// one object is held inline (its pointer with the lowest bit set); from the
// second object on, a heap vector holds them all and stays until the
// container is destroyed. Destroying the container deletes every object.

#include <cstdint>
#include <vector>

#include "lum/export.h"

LUM_API_BEGIN
namespace lum {

class ClumVellumEntity;

namespace detail {

// Deletes a contained object without recursing once per level of nesting:
// a deletion that starts while another is running is queued and done by the
// outermost one, so deleting a chain a million objects deep is safe.
void DeleteContained(ClumVellumEntity* object);

}  // namespace detail

template <class T>
class TlumVector {
public:
    TlumVector() = default;
    TlumVector(const TlumVector&) = delete;
    TlumVector& operator=(const TlumVector&) = delete;
    ~TlumVector() {
        if (IsInline()) {
            detail::DeleteContained(Inline());
        } else if (std::vector<T*>* heap = Heap()) {
            for (T* object : *heap) detail::DeleteContained(object);
            delete heap;
        }
    }

    int Size() const {
        if (m_word == 0) return 0;
        return IsInline() ? 1 : static_cast<int>(Heap()->size());
    }
    // The inline object whatever i is; element i of the heap vector; null
    // when there is no such element.
    T* At(int i) const {
        if (m_word == 0) return nullptr;
        if (IsInline()) return Inline();
        const std::vector<T*>& heap = *Heap();
        return i >= 0 && static_cast<std::size_t>(i) < heap.size() ? heap[static_cast<std::size_t>(i)] : nullptr;
    }
    // position -1 appends; otherwise inserts before that position (a
    // position beyond the end appends).
    void InsertAt(T* object, int position) {
        if (m_word == 0) {
            m_word = reinterpret_cast<std::uintptr_t>(object) | 1u;
            return;
        }
        if (IsInline()) {
            auto* heap = new std::vector<T*>{Inline()};
            m_word = reinterpret_cast<std::uintptr_t>(heap);
        }
        std::vector<T*>& heap = *Heap();
        if (position < 0 || static_cast<std::size_t>(position) >= heap.size()) heap.push_back(object);
        else heap.insert(heap.begin() + position, object);
    }
    // Takes out the object at i (the inline one whatever i is); null if none.
    T* TakeAt(int i) {
        if (m_word == 0) return nullptr;
        if (IsInline()) {
            T* object = Inline();
            m_word = 0;
            return object;
        }
        std::vector<T*>& heap = *Heap();
        if (i < 0 || static_cast<std::size_t>(i) >= heap.size()) return nullptr;
        T* object = heap[static_cast<std::size_t>(i)];
        heap.erase(heap.begin() + i);
        return object;
    }

private:
    bool IsInline() const { return (m_word & 1u) != 0; }
    T* Inline() const { return reinterpret_cast<T*>(m_word & ~std::uintptr_t{1}); }
    std::vector<T*>* Heap() const { return reinterpret_cast<std::vector<T*>*>(m_word); }

    std::uintptr_t m_word = 0;
};

}  // namespace lum
LUM_API_END
