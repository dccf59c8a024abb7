#pragma once
// TreeRemover: deletes whole object trees without recursion. It collects
// every object breadth first, detaches each from its owner, and deletes
// them one by one, so depth never matters.

#include <unordered_set>
#include <vector>

#include "lum/export.h"
#include "lum/traverse/non_recursive_visitor.h"

LUM_API_BEGIN
namespace lum {

class TreeRemover : public TlumNonRecursiveMetaVisitor<ClumVellumEntity> {
public:
    TreeRemover() = default;
    TreeRemover(const TreeRemover&) = default;
    TreeRemover& operator=(const TreeRemover&) = default;
    ~TreeRemover() override = default;

    // Deletes the root (detached from its owner first) and all it contains.
    void DeleteTree(ClumVellumEntity* root);
    // Deletes every root and all each contains. Roots may repeat or contain
    // one another: every object is deleted once. The vector is not changed.
    void DeleteRoots(std::vector<ClumVellumEntity*>& roots);

private:
    bool OnVisit(ClumVellumEntity* entity) override;

    std::vector<ClumVellumEntity*> m_entities;
    // While several roots are collected: what was collected so far.
    std::unordered_set<ClumVellumEntity*>* m_pCollected = nullptr;
};

}  // namespace lum
LUM_API_END
