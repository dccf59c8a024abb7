#include "lum/model/entity.h"

#include "lum/model/feature.h"

namespace lum {

ClumMetaClass* ClumVellumEntity::m_pMetaClass = nullptr;

const IlumFeature* ClumVellumEntity::GetFeature(const ClumIdent&) const { return nullptr; }

IlumFeature* ClumVellumEntity::GetFeature(const ClumIdent&) { return nullptr; }

const ClumMetaClass& ClumVellumEntity::GetMetaClass() const { return *m_pMetaClass; }

ClumVellumEntity* ClumVellumEntity::Owner() { return m_pOwningFeature ? m_pOwningFeature->GetOwner() : nullptr; }

const ClumVellumEntity* ClumVellumEntity::Owner() const {
    return m_pOwningFeature ? static_cast<const IlumFeature*>(m_pOwningFeature)->GetOwner() : nullptr;
}

ClumVellumEntity* ClumVellumEntity::UnsetOwner() {
    if (m_pOwningFeature == nullptr) return nullptr;
    ClumVellumEntity* owner = m_pOwningFeature->GetOwner();
    IlumLink* link = m_pOwningFeature->GetLink();
    if (link == nullptr) return nullptr;
    const int position = link->IndexOf(this);
    return link->RemoveAt(position) == this ? owner : nullptr;
}

void ClumVellumEntity::LinkOwner(IlumFeature& feature) {
    if (m_pOwningFeature == nullptr) m_pOwningFeature = &feature;
}

void ClumVellumEntity::UnlinkOwner(IlumFeature& feature) {
    if (m_pOwningFeature == &feature) m_pOwningFeature = nullptr;
}

void ClumOwnerLink::LinkOwner(ClumVellumEntity* object, IlumFeature& feature) {
    if (object != nullptr) object->LinkOwner(feature);
}

void ClumOwnerLink::UnlinkOwner(ClumVellumEntity* object, IlumFeature& feature) {
    if (object != nullptr) object->UnlinkOwner(feature);
}

}  // namespace lum
