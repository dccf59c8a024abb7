#include "lum/model/set_aside.h"

#include <algorithm>
#include <unordered_set>

#include "lum/model/classes/ClumUnitObject.h"
#include "lum/model/classes/Clumexternal_doc.h"

namespace lum {

void ClumSetAside::Keep(const ClumVellumEntity* owner, const ClumIdent& feature, int position, int line,
                        ClumVellumEntity* object) {
    m_objects.push_back({owner, feature, position, line, std::unique_ptr<ClumVellumEntity>(object)});
}

std::vector<const tSetAsideObject*> ClumSetAside::ObjectsOf(const ClumVellumEntity* owner) const {
    std::vector<const tSetAsideObject*> found;
    for (const tSetAsideObject& entry : m_objects) {
        if (entry.owner == owner) found.push_back(&entry);
    }
    return found;
}

void ClumSetAside::RememberStoredPath(const ClumUnitObject* unit, const WString& stored) {
    m_storedPaths[unit] = {stored, WString()};
}

const WString* ClumSetAside::StoredPath(const ClumUnitObject* unit) const {
    const auto found = m_storedPaths.find(unit);
    return found == m_storedPaths.end() ? nullptr : &found->second.stored;
}

void ClumSetAside::RememberStoredPath(const Clumexternal_doc* document, const WString& stored,
                                      const WString& resolved) {
    m_storedPaths[document] = {stored, resolved};
}

const WString* ClumSetAside::StoredPath(const Clumexternal_doc* document) const {
    const auto found = m_storedPaths.find(document);
    if (found == m_storedPaths.end() || document->external_doc_path.Get() != found->second.loaded) return nullptr;
    return &found->second.stored;
}

namespace {

const ClumVellumEntity* TopOf(const ClumVellumEntity* entity) {
    while (entity->Owner() != nullptr) entity = entity->Owner();
    return entity;
}

}  // namespace

// An entry is chosen when `chosen` answers true for its owner, or when its
// owner lies inside the object of a chosen entry (a refused object may hold
// refused objects of its own, kept as entries of their own).
std::vector<bool> ClumSetAside::Select(const std::function<bool(const ClumVellumEntity*)>& chosen) const {
    std::vector<bool> marks(m_objects.size());
    std::unordered_set<const ClumVellumEntity*> roots;
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        if (!chosen(m_objects[i].owner)) continue;
        marks[i] = true;
        roots.insert(m_objects[i].object.get());
    }
    for (bool grew = !roots.empty(); grew;) {
        grew = false;
        for (std::size_t i = m_objects.size(); i-- > 0;) {
            if (marks[i] || roots.count(TopOf(m_objects[i].owner)) == 0) continue;
            marks[i] = grew = true;
            roots.insert(m_objects[i].object.get());
        }
    }
    return marks;
}

void ClumSetAside::ForgetIf(const std::function<bool(const ClumVellumEntity*)>& forgets) {
    MoveSelected(Select(forgets), nullptr);
    std::erase_if(m_storedPaths, [&forgets](const auto& entry) { return forgets(entry.first); });
}

void ClumSetAside::ForgetAll(const std::vector<const ClumVellumEntity*>& contents) {
    const std::unordered_set<const ClumVellumEntity*> forgotten(contents.begin(), contents.end());
    if (!m_objects.empty()) {
        MoveSelected(Select([&forgotten](const ClumVellumEntity* owner) { return forgotten.count(owner) != 0; }),
                     nullptr);
    }
    for (const ClumVellumEntity* object : contents) {
        if (const auto found = m_storedPaths.find(object); found != m_storedPaths.end()) m_storedPaths.erase(found);
    }
}

void ClumSetAside::MoveInto(ClumSetAside& other, const std::function<bool(const ClumVellumEntity*)>& moves) {
    MoveSelected(Select(moves), &other);
    for (auto it = m_storedPaths.begin(); it != m_storedPaths.end();) {
        if (moves(it->first)) {
            other.m_storedPaths[it->first] = it->second;
            it = m_storedPaths.erase(it);
        } else {
            ++it;
        }
    }
}

void ClumSetAside::MoveFirst(std::size_t count, ClumSetAside& other) {
    const auto end = m_objects.begin() + static_cast<std::ptrdiff_t>(std::min(count, m_objects.size()));
    for (auto it = m_objects.begin(); it != end; ++it) other.m_objects.push_back(std::move(*it));
    m_objects.erase(m_objects.begin(), end);
}

// The owners of every entry are asked before any object is deleted.
void ClumSetAside::MoveSelected(const std::vector<bool>& marks, ClumSetAside* other) {
    std::vector<tSetAsideObject> staying;
    std::vector<tSetAsideObject> leaving;
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        (marks[i] ? leaving : staying).push_back(std::move(m_objects[i]));
    }
    m_objects.swap(staying);
    if (other != nullptr) {
        for (tSetAsideObject& entry : leaving) other->m_objects.push_back(std::move(entry));
    }
}

}  // namespace lum
