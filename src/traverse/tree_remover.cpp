#include "lum/traverse/tree_remover.h"

#include "lum/model/entity.h"

namespace lum {

bool TreeRemover::OnVisit(ClumVellumEntity* entity) {
    // An object met again (a root inside another root) is not collected twice.
    if (m_pCollected != nullptr && !m_pCollected->insert(entity).second) return false;
    m_entities.push_back(entity);
    return true;
}

void TreeRemover::DeleteTree(ClumVellumEntity* root) {
    std::vector<ClumVellumEntity*> roots{root};
    DeleteRoots(roots);
}

void TreeRemover::DeleteRoots(std::vector<ClumVellumEntity*>& roots) {
    m_entities.reserve(0xFFFFF);
    std::unordered_set<ClumVellumEntity*> collected;
    m_pCollected = roots.size() > 1 ? &collected : nullptr;
    for (ClumVellumEntity* root : roots) Visit(root);
    m_pCollected = nullptr;

    // Detached last to first, so that each removal takes the last object of
    // its link; afterwards every object is free and holds nothing.
    for (auto it = m_entities.rbegin(); it != m_entities.rend(); ++it) (*it)->UnsetOwner();
    for (ClumVellumEntity* entity : m_entities) delete entity;
    m_entities.resize(0);
}

}  // namespace lum
