#include "lum/traverse/filters.h"

#include <utility>

namespace lum {

ClumCompositeFilter::ClumCompositeFilter(ClumCompositeFilter&& other) noexcept
    : m_filters(std::move(other.m_filters)), m_operation(other.m_operation) {
    other.m_filters.clear();
}

ClumCompositeFilter& ClumCompositeFilter::operator=(ClumCompositeFilter&& other) noexcept {
    if (this != &other) {
        for (IlumFilter* filter : m_filters) delete filter;
        m_filters = std::move(other.m_filters);
        other.m_filters.clear();
        m_operation = other.m_operation;
    }
    return *this;
}

ClumCompositeFilter::~ClumCompositeFilter() {
    for (IlumFilter* filter : m_filters) delete filter;
}

void ClumCompositeFilter::Add(IlumFilter* filter) {
    if (filter != nullptr) m_filters.push_back(filter);
}

void ClumCompositeFilter::Remove(IlumFilter* filter) {
    for (auto it = m_filters.begin(); it != m_filters.end(); ++it) {
        if (*it == filter) {
            m_filters.erase(it);
            return;
        }
    }
}

void ClumCompositeFilter::Remove(unsigned index) {
    if (index < m_filters.size()) m_filters.erase(m_filters.begin() + index);
}

IlumFilter* ClumCompositeFilter::Get(unsigned index) const {
    return index < m_filters.size() ? m_filters[index] : nullptr;
}

template <class Ask>
bool ClumCompositeFilter::Combine(Ask ask) const {
    if (m_filters.size() == 1) return ask(*m_filters.front());
    bool result = false;
    for (IlumFilter* filter : m_filters) {
        switch (m_operation) {
            case eAnd:
                if (!ask(*filter)) return false;
                result = true;
                break;
            case eOr:
                if (ask(*filter)) return true;
                break;
            case eXor:
                if (ask(*filter)) {
                    if (result) return false;
                    result = true;
                }
                break;
            default:
                return result;
        }
    }
    return result;
}

bool ClumCompositeFilter::IsEnabled(const ClumMetaClass& metaClass, const ClumMetaFeature& feature) {
    return Combine([&](IlumFilter& filter) { return filter.IsEnabled(metaClass, feature); });
}

bool ClumCompositeFilter::IsEnabled(const ClumVellumEntity* entity) {
    return Combine([&](IlumFilter& filter) { return filter.IsEnabled(entity); });
}

}  // namespace lum
