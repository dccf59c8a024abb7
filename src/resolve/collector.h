#pragma once
// ClumNrCollector: walks a tree once, filling the resolver's indexes and
// gathering every reference feature that holds a value: the quid references
// (quidu, supplier_quidu, client_quidu) apart from the others, since they
// are bound first.

#include <vector>

#include "lum/traverse/meta_visitor.h"
#include "resolve/feature_finder.h"
#include "resolve/resolver_cache.h"

namespace lum {

class ClumNrCollector : public TlumMetaVisitor<const ClumVellumEntity> {
public:
    ClumNrCollector(tResolverCache& cache, std::vector<const IlumReference*>& quidReferences,
                    std::vector<const IlumReference*>& otherReferences)
        : m_quidReferences(quidReferences), m_otherReferences(otherReferences), m_cache(cache) {}

    void Visit(const ClumVellumEntity* entity) override;
    void VisitMetaFeature(const ClumMetaFeature* feature, const ClumVellumEntity* entity) override;

private:
    void IndexQuid(const ClumVellumEntity* entity, const ClumMetaClass& metaClass);

    std::vector<const IlumReference*>& m_quidReferences;
    std::vector<const IlumReference*>& m_otherReferences;
    tResolverCache& m_cache;
    std::vector<std::uint32_t> m_path{tResolverCache::Root};  // name nodes of the enclosing named objects
    std::vector<const ClumVellumEntity*> m_contexts;  // enclosing categories and files
    tFeatureFinder m_name{ClumIdent(L"name")};
    tFeatureFinder m_quid{ClumIdent(L"quid")};
    ClumIdent m_quidu{L"quidu"}, m_supplierQuidu{L"supplier_quidu"}, m_clientQuidu{L"client_quidu"};
};

// A qualified name cut at every run of ':' (a leading run gives one empty
// first component, a trailing one nothing).
tNamePath SplitQualifiedName(const WString& text);

}  // namespace lum
