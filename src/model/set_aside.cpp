#include "lum/model/set_aside.h"

#include <algorithm>
#include <unordered_set>

#include "lum/model/classes/ClumUnitObject.h"
#include "lum/model/classes/Clumexternal_doc.h"

namespace lum {

void SetAside::Keep(const ClumVellumEntity* owner, const ClumIdent& feature, int position, int line,
                        ClumVellumEntity* object) {
    m_objects.push_back({owner, feature, position, line, std::unique_ptr<ClumVellumEntity>(object)});
}

std::vector<const SetAsideObject*> SetAside::ObjectsOf(const ClumVellumEntity* owner) const {
    std::vector<const SetAsideObject*> found;
    for (const SetAsideObject& entry : m_objects) {
        if (entry.owner == owner) found.push_back(&entry);
    }
    return found;
}

void SetAside::RememberStoredPath(const ClumUnitObject* unit, const WString& stored) {
    m_storedPaths[unit] = {stored, WString()};
}

const WString* SetAside::StoredPath(const ClumUnitObject* unit) const {
    const auto found = m_storedPaths.find(unit);
    return found == m_storedPaths.end() ? nullptr : &found->second.stored;
}

void SetAside::RememberStoredPath(const Clumexternal_doc* document, const WString& stored,
                                      const WString& resolved) {
    m_storedPaths[document] = {stored, resolved};
}

const WString* SetAside::StoredPath(const Clumexternal_doc* document) const {
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
std::vector<bool> SetAside::Select(const std::function<bool(const ClumVellumEntity*)>& chosen) const {
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

void SetAside::ForgetIf(const std::function<bool(const ClumVellumEntity*)>& forgets) {
    MoveSelected(Select(forgets), nullptr);
    std::erase_if(m_storedPaths, [&forgets](const auto& entry) { return forgets(entry.first); });
}

void SetAside::ForgetAll(const std::vector<const ClumVellumEntity*>& contents) {
    const std::unordered_set<const ClumVellumEntity*> forgotten(contents.begin(), contents.end());
    if (!m_objects.empty()) {
        MoveSelected(Select([&forgotten](const ClumVellumEntity* owner) { return forgotten.count(owner) != 0; }),
                     nullptr);
    }
    for (const ClumVellumEntity* object : contents) {
        if (const auto found = m_storedPaths.find(object); found != m_storedPaths.end()) m_storedPaths.erase(found);
    }
}

void SetAside::MoveInto(SetAside& other, const std::function<bool(const ClumVellumEntity*)>& moves) {
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

void SetAside::MoveFirst(std::size_t count, SetAside& other) {
    const auto end = m_objects.begin() + static_cast<std::ptrdiff_t>(std::min(count, m_objects.size()));
    for (auto it = m_objects.begin(); it != end; ++it) other.m_objects.push_back(std::move(*it));
    m_objects.erase(m_objects.begin(), end);
}

// The owners of every entry are asked before any object is deleted.
void SetAside::MoveSelected(const std::vector<bool>& marks, SetAside* other) {
    std::vector<SetAsideObject> staying;
    std::vector<SetAsideObject> leaving;
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        (marks[i] ? leaving : staying).push_back(std::move(m_objects[i]));
    }
    m_objects.swap(staying);
    if (other != nullptr) {
        for (SetAsideObject& entry : leaving) other->m_objects.push_back(std::move(entry));
    }
}

}  // namespace lum
