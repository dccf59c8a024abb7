#pragma once
// ClumPruner: removes from a model every object and every link feature that
// a filter disables, and deletes what it removed (with all it contains).
// Disabled attributes and references are left as they are.

#include <vector>

#include "lum/export.h"
#include "lum/traverse/filters.h"
#include "lum/traverse/meta_visitor.h"

LUM_API_BEGIN
namespace lum {

class ClumPruner : public TlumMetaVisitor<ClumVellumEntity> {
public:
    ClumPruner() = default;
    explicit ClumPruner(IlumFilter& filter) : m_pFilter(&filter) {}
    ClumPruner(const ClumPruner&) = default;
    ClumPruner& operator=(const ClumPruner&) = default;

    // Not owned: the filter must outlive the pruner's use.
    void SetFilter(IlumFilter& filter) { m_pFilter = &filter; }
    IlumFilter* GetFilter() const { return m_pFilter; }

    // Walks `root`, cutting off what the filter disables, then deletes it;
    // a disabled root is deleted itself. Does nothing without a filter.
    void Prune(ClumVellumEntity* root);

protected:
    void Visit(ClumVellumEntity* entity) override;
    void VisitMetaFeature(const ClumMetaFeature* feature, ClumVellumEntity* entity) override;

private:
    IlumFilter* m_pFilter = nullptr;
    std::vector<ClumVellumEntity*> m_roots;  // cut off during the last Prune
};

}  // namespace lum
LUM_API_END
