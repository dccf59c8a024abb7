#pragma once
// ClumNrCollector: walks a tree once, filling the resolver's indexes and
// gathering every reference feature that holds a value.

#include <vector>

#include "lum/traverse/meta_visitor.h"
#include "resolve/feature_finder.h"
#include "resolve/resolver_cache.h"

namespace lum {

class ClumNrCollector : public TlumMetaVisitor<const ClumVellumEntity> {
public:
    ClumNrCollector(tResolverCache& cache, std::vector<const IlumReference*>& references)
        : m_references(references), m_cache(cache) {}

    void Visit(const ClumVellumEntity* entity) override;
    void VisitMetaFeature(const ClumMetaFeature* feature, const ClumVellumEntity* entity) override;

private:
    void IndexQuid(const ClumVellumEntity* entity);

    std::vector<const IlumReference*>& m_references;
    tResolverCache& m_cache;
    std::vector<std::uint32_t> m_path{tResolverCache::Root};  // name nodes of the enclosing named objects
    std::vector<const ClumVellumEntity*> m_contexts;  // enclosing categories and files
    tFeatureFinder m_name{ClumIdent(L"name")};
    tFeatureFinder m_quid{ClumIdent(L"quid")};
};

// A qualified name cut at every run of ':' (a leading run gives one empty
// first component, a trailing one nothing).
tNamePath SplitQualifiedName(const WString& text);

}  // namespace lum
