#include "lum/traverse/non_recursive_visitor.h"

#include <deque>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"

namespace lum {

void TlumNonRecursiveMetaVisitor<ClumVellumEntity>::Visit(ClumVellumEntity* root) {
    if (root == nullptr) return;
    std::deque<ClumVellumEntity*> queue{root};
    while (!queue.empty()) {
        ClumVellumEntity* entity = queue.front();
        queue.pop_front();
        if (!OnVisit(entity)) continue;
        // The link features, in the order of all features.
        for (const ClumMetaFeature* feature : entity->GetMetaClass().m_linkFeatures) {
            if (feature->GetKind() != ClumMetaFeature::eLink || feature->m_pfnLinkSize == nullptr ||
                feature->m_pfnLinkGetAt == nullptr) {
                continue;
            }
            for (int i = 0; i < feature->m_pfnLinkSize(entity); ++i) {
                if (ClumVellumEntity* child = feature->m_pfnLinkGetAt(entity, i)) queue.push_back(child);
            }
        }
    }
}

}  // namespace lum
