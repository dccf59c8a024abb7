#include "lum/model/entity.h"

#include "lum/model/feature.h"
#include "lum/model/vector.h"

#include <vector>

namespace lum {

ClumMetaClass* ClumVellumEntity::m_pMetaClass = nullptr;

const IlumFeature* ClumVellumEntity::GetFeature(const ClumIdent&) const { return nullptr; }

IlumFeature* ClumVellumEntity::GetFeature(const ClumIdent&) { return nullptr; }

const ClumMetaClass& ClumVellumEntity::GetMetaClass() const { return *m_pMetaClass; }

ClumVellumEntity* ClumVellumEntity::Owner() { return m_pOwningFeature ? m_pOwningFeature->GetOwner() : nullptr; }

const ClumVellumEntity* ClumVellumEntity::Owner() const {
    return m_pOwningFeature ? static_cast<const IlumFeature*>(m_pOwningFeature)->GetOwner() : nullptr;
}

bool ClumVellumEntity::IsWithin(const ClumVellumEntity* root) const {
    for (const ClumVellumEntity* entity = this; entity != nullptr; entity = entity->Owner()) {
        if (entity == root) return true;
    }
    return false;
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

namespace detail {

void DeleteContained(ClumVellumEntity* object) {
    // Deleting an object queues its children here instead of deleting them
    // in place, so that deletion never recurses. The queue lives in the
    // outermost call's frame; the thread's pointer to it is plain, so that
    // nothing needs destroying when a thread or the process ends.
    thread_local std::vector<ClumVellumEntity*>* t_pending = nullptr;
    if (object == nullptr) return;
    if (t_pending != nullptr) {
        t_pending->push_back(object);
        return;
    }
    std::vector<ClumVellumEntity*> pending{object};
    t_pending = &pending;
    while (!pending.empty()) {
        ClumVellumEntity* next = pending.back();
        pending.pop_back();
        delete next;  // queues its own children
    }
    t_pending = nullptr;
}

}  // namespace detail

}  // namespace lum
