#pragma once
// TlumMetaVisitor: a recursive, depth-first walk of an object and everything
// it contains, driven by the metamodel. Visit(entity) offers each feature of
// the object (own features first, then inherited ones; only the links when
// set to visit only composites) to VisitMetaFeature, which descends into the
// objects of link features. Subclasses override either to do their work and
// call the base to go on. T is ClumVellumEntity or const ClumVellumEntity.

#include "lum/export.h"
#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/entity.h"

LUM_API_BEGIN
namespace lum {

template <class T>
class TlumMetaVisitor {
public:
    TlumMetaVisitor() = default;
    TlumMetaVisitor(const TlumMetaVisitor&) = default;
    TlumMetaVisitor& operator=(const TlumMetaVisitor&) = default;
    virtual ~TlumMetaVisitor() = default;

    // Offers every feature of the object, in order; null is ignored.
    virtual void Visit(T* entity) {
        if (entity == nullptr) return;
        const ClumMetaClass& metaClass = entity->GetMetaClass();
        const auto& features = m_bVisitOnlyComposite ? metaClass.m_linkFeatures : metaClass.m_allFeatures;
        const std::size_t count = features.size();
        for (std::size_t i = 0; i < count; ++i) VisitMetaFeature(features[i], entity);
    }

    // Visits each object of a link feature; attributes and references are
    // not walked. The size is asked again before every step.
    virtual void VisitMetaFeature(const ClumMetaFeature* feature, T* entity) {
        if (feature->GetKind() != ClumMetaFeature::eLink || feature->m_pfnLinkSize == nullptr ||
            feature->m_pfnLinkGetAt == nullptr) {
            return;
        }
        auto* owner = const_cast<ClumVellumEntity*>(entity);
        for (int i = 0; i < feature->m_pfnLinkSize(owner); ++i) Visit(feature->m_pfnLinkGetAt(owner, i));
    }

    bool GetVisitOnlyComposite() const { return m_bVisitOnlyComposite; }
    void SetVisitOnlyComposite(bool onlyComposite) { m_bVisitOnlyComposite = onlyComposite; }

protected:
    bool m_bVisitOnlyComposite = false;
};

}  // namespace lum
LUM_API_END
