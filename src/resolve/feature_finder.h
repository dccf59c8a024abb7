#pragma once
// Finds the meta-feature of a keyword in an object's class once per class,
// so that the resolver reaches "name", "quid" and the companion references
// through the direct accessor functions instead of a lookup by keyword on
// every object.

#include <vector>

#include "lum/meta/meta_class.h"
#include "lum/meta/meta_feature.h"
#include "lum/model/entity.h"
#include "lum/model/feature.h"

namespace lum {

class tFeatureFinder {
public:
    explicit tFeatureFinder(const ClumIdent& keyword) : m_keyword(keyword) {}

    // The object's feature of this keyword, or null.
    const IlumFeature* Of(const ClumVellumEntity* entity) {
        const ClumMetaClass& metaClass = entity->GetMetaClass();
        const unsigned index = metaClass.GetIndex();
        if (index >= m_byClass.size()) m_byClass.resize(index + 1, Unknown());
        const ClumMetaFeature*& found = m_byClass[index];
        if (found == Unknown()) {
            found = nullptr;
            for (const ClumMetaFeature* feature : metaClass.m_allFeatures) {
                if (feature->GetName() == m_keyword) found = feature;
            }
        }
        return found ? found->m_pfnGetFeature(const_cast<ClumVellumEntity*>(entity)) : nullptr;
    }

private:
    static const ClumMetaFeature* Unknown() { return reinterpret_cast<const ClumMetaFeature*>(&Unknown); }

    ClumIdent m_keyword;
    std::vector<const ClumMetaFeature*> m_byClass;
};

}  // namespace lum
