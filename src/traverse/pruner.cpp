#include "lum/traverse/pruner.h"

#include <algorithm>

#include "lum/model/feature.h"
#include "lum/traverse/tree_remover.h"

namespace lum {

void ClumPruner::Prune(ClumVellumEntity* root) {
    if (m_pFilter == nullptr) return;
    m_roots.clear();
    Visit(root);
    TreeRemover().DeleteRoots(m_roots);
}

void ClumPruner::Visit(ClumVellumEntity* entity) {
    if (entity == nullptr) return;
    if (m_pFilter->IsEnabled(entity)) {
        TlumMetaVisitor::Visit(entity);
    } else {
        m_roots.push_back(entity);
    }
}

void ClumPruner::VisitMetaFeature(const ClumMetaFeature* feature, ClumVellumEntity* entity) {
    if (m_pFilter->IsEnabled(entity->GetMetaClass(), *feature)) {
        TlumMetaVisitor::VisitMetaFeature(feature, entity);
        return;
    }
    IlumFeature* member = feature->m_pfnGetFeature ? feature->m_pfnGetFeature(entity) : nullptr;
    IlumLink* link = member ? member->GetLink() : nullptr;
    if (link == nullptr) return;
    // Taken from the back (cheap for long links), kept in position order.
    const std::size_t first = m_roots.size();
    for (int i = link->GetSize() - 1; i >= 0; --i) {
        if (ClumVellumEntity* removed = link->RemoveAt(i)) m_roots.push_back(removed);
    }
    std::reverse(m_roots.begin() + static_cast<std::ptrdiff_t>(first), m_roots.end());
}

}  // namespace lum
