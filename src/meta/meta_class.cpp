#include "lum/meta/meta_class.h"

#include <deque>
#include <stdexcept>

namespace lum {

namespace {

void CheckMaskPosition(unsigned index) {
    if (index >= ClumMetaClass::MaxClasses) throw std::out_of_range("invalid bitset<N> position");
}

}  // namespace

ClumMetaClass::ClumMetaClass(const wchar_t* name, unsigned index, bool abstract)
    : m_name(name), m_bAbstract(abstract), m_nIndex(index), m_pfnCreate(nullptr) {}

bool ClumMetaClass::IsKindOf(const ClumMetaClass* other) const {
    if (other == nullptr) return false;
    if (other == this) return true;
    CheckMaskPosition(other->m_nIndex);
    return m_mask.test(other->m_nIndex);
}

void ClumMetaClass::InitializeMask() {
    std::deque<const ClumMetaClass*> queue{this};
    while (!queue.empty()) {
        const ClumMetaClass* next = queue.front();
        queue.pop_front();
        CheckMaskPosition(next->m_nIndex);
        m_mask.set(next->m_nIndex);
        queue.insert(queue.end(), next->m_bases.begin(), next->m_bases.end());
    }
}

}  // namespace lum
