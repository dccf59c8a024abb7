#pragma once
// SetAside: what a file held that has no place in the object graph,
// kept so that the file can be written back whole.
//
// - Objects the catalogue refuses: an object of a class that its feature's
//   link does not take (a SegLabel as the label of an inheritance line), or
//   one given to a feature its owner's class does not have. Each is kept
//   with its owner, the feature keyword, its position among the objects the
//   link took before it, and the line where its construct ended.
// - The stored path of each unit stub that loading replaced by its unit:
//   loading rewrites the unit's "file_name" to the path it opened.
//
// The file object that read them holds them; loading moves them to the file
// that receives the units. Entries name their owner and unit by address: a
// host that deletes an owner or unit should forget its entries first.

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "lum/export.h"
#include "lum/model/entity.h"
#include "lum/text/ident.h"
#include "lum/text/wstring.h"

LUM_API_BEGIN
namespace lum {

class ClumUnitObject;
class Clumexternal_doc;

struct SetAsideObject {
    const ClumVellumEntity* owner;
    ClumIdent feature;
    int position;  // the size of the owner's link when this object came
    int line;
    std::unique_ptr<ClumVellumEntity> object;
};

class SetAside {
public:
    SetAside() = default;
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

    // Takes ownership of a free object.
    void Keep(const ClumVellumEntity* owner, const ClumIdent& feature, int position, int line,
              ClumVellumEntity* object);
    const std::vector<SetAsideObject>& Objects() const { return m_objects; }
    // The objects kept for `owner`, in the order they were met.
    std::vector<const SetAsideObject*> ObjectsOf(const ClumVellumEntity* owner) const;

    void RememberStoredPath(const ClumUnitObject* unit, const WString& stored);
    // The path the stub of `unit` stored, or null when none was remembered.
    const WString* StoredPath(const ClumUnitObject* unit) const;
    // The path an external document stored, which loading resolved into
    // `resolved`.
    void RememberStoredPath(const Clumexternal_doc* document, const WString& stored, const WString& resolved);
    // The path `document` stored, while it still holds the one loading made
    // of it; else null.
    const WString* StoredPath(const Clumexternal_doc* document) const;

    // Drops every entry whose owner (or unit) `forgets` answers true for,
    // with the entries set aside inside their objects, deleting the kept
    // objects: called before those owners are deleted.
    void ForgetIf(const std::function<bool(const ClumVellumEntity*)>& forgets);
    // Moves every entry whose owner (or unit) `moves` answers true for into
    // `other`, with the entries set aside inside their objects; the rest stay.
    void MoveInto(SetAside& other, const std::function<bool(const ClumVellumEntity*)>& moves);
    // Moves the `count` objects kept first into `other`, after its own: the
    // objects a reader set aside join those of the file, in the order met.
    void MoveFirst(std::size_t count, SetAside& other);
    // ForgetIf for the objects inside one object, given as the list of every
    // one of them (the object included): stored paths are looked up by
    // object instead of all being asked, so forgetting the contents of a
    // small object costs little however many paths the file remembers.
    void ForgetAll(const std::vector<const ClumVellumEntity*>& contents);
    bool IsEmpty() const { return m_objects.empty() && m_storedPaths.empty(); }

private:
    std::vector<bool> Select(const std::function<bool(const ClumVellumEntity*)>& chosen) const;
    // Moves the marked entries into `other`, or deletes them when it is null.
    void MoveSelected(const std::vector<bool>& marks, SetAside* other);

    std::vector<SetAsideObject> m_objects;
    struct RememberedPath {
        WString stored;
        WString loaded;  // documents: what loading made of it
    };
    std::map<const ClumVellumEntity*, RememberedPath> m_storedPaths;
};

}  // namespace lum
LUM_API_END
