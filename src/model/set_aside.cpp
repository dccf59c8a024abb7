#include "lum/model/set_aside.h"

#include <algorithm>

#include "lum/model/classes/ClumUnitObject.h"

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
    m_storedPaths[unit] = stored;
}

const WString* ClumSetAside::StoredPath(const ClumUnitObject* unit) const {
    const auto found = m_storedPaths.find(unit);
    return found == m_storedPaths.end() ? nullptr : &found->second;
}

void ClumSetAside::Forget(const ClumVellumEntity* owner) {
    std::erase_if(m_objects, [owner](const tSetAsideObject& entry) { return entry.owner == owner; });
    std::erase_if(m_storedPaths, [owner](const auto& entry) {
        return static_cast<const ClumVellumEntity*>(entry.first) == owner;
    });
}

void ClumSetAside::MoveInto(ClumSetAside& other, const std::function<bool(const ClumVellumEntity*)>& moves) {
    std::vector<tSetAsideObject> staying;
    for (tSetAsideObject& entry : m_objects) {
        if (moves(entry.owner)) other.m_objects.push_back(std::move(entry));
        else staying.push_back(std::move(entry));
    }
    m_objects.swap(staying);
    for (auto it = m_storedPaths.begin(); it != m_storedPaths.end();) {
        if (moves(it->first)) {
            other.m_storedPaths[it->first] = it->second;
            it = m_storedPaths.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace lum
