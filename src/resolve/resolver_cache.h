#pragma once
// The indexes of the name resolver: by name path, by quid, by bound target
// and by label within a context. Keys are interned identifiers and
// pointers, so every lookup compares pointers only. Name paths form a tree
// of nodes (a node per distinct path), so no path is ever stored whole.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "lum/text/ident.h"
#include "platform/flat_table.h"
#include "resolve/chunked_array.h"
#include "resolve/groups.h"

namespace lum {

class ClumMetaClass;
class ClumObjectRef;
class ClumVellumEntity;
class IlumReference;

// The objects of one key of an index, each with the index of its class.
using tEntityGroup = tGroup<ClumVellumEntity, std::uint32_t>;

using tNamePath = std::vector<ClumIdent>;
using tEntityList = std::vector<const ClumVellumEntity*>;

// A gathered reference feature with what binding needs of its surroundings:
// its value when it holds one only (null for a list); the innermost category
// or file around it (null when none), in which its @ labels are looked up;
// and the value of the owner's companion quid reference (the quidu beside a
// name; null when there is none). Binding reads these from the list, in
// order, instead of from the objects.
struct tGathered {
    const IlumReference* reference;
    const ClumObjectRef* value;
    const ClumVellumEntity* context;
    const ClumObjectRef* companion;
};
// Grows in blocks, so that gathering a million references never copies them.
using tReferenceList = tChunkedArray<tGathered>;

class tResolverCache {
public:
    static constexpr std::uint32_t Root = 0;  // the node of the empty path

    tResolverCache() { m_nodes.emplace_back(); }
    tResolverCache(const tResolverCache&) = delete;
    tResolverCache& operator=(const tResolverCache&) = delete;

    // The node of `name` (an interned text) below `parent`, made if needed.
    std::uint32_t Child(std::uint32_t parent, const wchar_t* name);
    // The node of `name` below `parent`, or Root when there is none.
    std::uint32_t FindChild(std::uint32_t parent, const ClumIdent& name) const;
    // The node of a whole path, or Root when the index has none.
    std::uint32_t FindPath(const tNamePath& path) const;
    tEntityGroup& Node(std::uint32_t node) { return m_nodes[node]; }
    // Asks for the memory of a lookup ahead of it (see platform/prefetch.h).
    void PrefetchQuid(const ClumIdent& quid) const { m_byQuid.Prefetch(quid.c_str()); }
    void PrefetchLabel(const ClumVellumEntity* context, const ClumIdent& label) const {
        m_byLabel.Prefetch(tLabelKey{context, label.c_str()});
    }

    // The group of a quid, or of a label in a context (a category or a
    // file); null when there is none.
    tEntityGroup* FindQuid(const ClumIdent& quid) { return m_byQuid.Find(quid.c_str()); }
    tEntityGroup* FindLabel(const ClumVellumEntity* context, const ClumIdent& label) {
        return m_byLabel.Find(tLabelKey{context, label.c_str()});
    }

    void AddToName(std::uint32_t node, const ClumVellumEntity* entity, const ClumMetaClass& metaClass) {
        Add(m_nodes[node], entity, metaClass);
    }
    // Queue an object for the quid or the label index (texts interned);
    // IndexQueued adds the queues.
    void AddToQuid(const wchar_t* quid, const ClumVellumEntity* entity, const ClumMetaClass& metaClass) {
        m_queuedQuids.push_back(tQueued<const wchar_t*>{quid, entity, &metaClass});
    }
    void AddToLabel(const ClumVellumEntity* context, const wchar_t* label, const ClumVellumEntity* entity,
                    const ClumMetaClass& metaClass) {
        m_queuedLabels.push_back(tQueued<tLabelKey>{tLabelKey{context, label}, entity, &metaClass});
    }
    // Adds the queued objects to their indexes in the order they came. Each
    // table is sized for all of them first, and the slot of each object is
    // asked for a few objects ahead, so that the inserts do not wait on one
    // another's cache misses.
    void IndexQueued();

    std::size_t Size(const tEntityGroup& group) const { return m_entityLists.Size(group); }
    const ClumVellumEntity* At(const tEntityGroup& group, std::size_t i) const { return m_entityLists.At(group, i); }
    const ClumMetaClass& ClassAt(const tEntityGroup& group, std::size_t i) const {
        return *m_classes[m_entityLists.FactAt(group, i)];
    }
    const tEntityList& Published(tEntityGroup& group) { return m_entityLists.Published(group); }

    // A list for the reference features one collection gathers. It lives as
    // long as the indexes and never moves; binding clears the reference of
    // the entries it could not bind entirely, so that the rest, in binding
    // order, are the referrers. They are indexed by target only once a
    // lookup asks for referrers (with the targets they have then), so
    // binding writes nothing more until then.
    tReferenceList& NewReferenceList() { return m_referenceLists.emplace_back(); }
    // Called when the new lists are bound: once referrers have been asked
    // for, their index is kept up to date from then on.
    void ReferenceListsBound();
    // The references bound to `target`, or null.
    const std::vector<const IlumReference*>* Referrers(const ClumVellumEntity* target);

private:
    void IndexReferrers();
    void AddReferrer(const ClumObjectRef* value, const IlumReference* reference);
    void Add(tEntityGroup& group, const ClumVellumEntity* entity, const ClumMetaClass& metaClass);

    struct tQuidHash {
        std::uint64_t operator()(const wchar_t* quid) const { return platform::MixWord(reinterpret_cast<std::uintptr_t>(quid)); }
    };
    // Packed to 12 bytes, so that an edge and its node fill a 16-byte slot
    // (the edge table is the largest index). Slots are 16-byte aligned, so
    // the name pointer still lies on an 8-byte boundary.
#pragma pack(push, 4)
    struct tEdge {
        const wchar_t* name = nullptr;
        std::uint32_t parent = 0;
        bool operator==(const tEdge&) const = default;
    };
#pragma pack(pop)
    struct tEdgeHash {
        std::uint64_t operator()(const tEdge& edge) const {
            return platform::MixWord(reinterpret_cast<std::uintptr_t>(edge.name) ^ platform::MixWord(edge.parent + 1));
        }
    };
    struct tLabelKey {
        const ClumVellumEntity* context = nullptr;
        const wchar_t* label = nullptr;
        bool operator==(const tLabelKey&) const = default;
    };
    struct tLabelHash {
        std::uint64_t operator()(const tLabelKey& key) const {
            return platform::MixWord(reinterpret_cast<std::uintptr_t>(key.label) ^
                           platform::MixWord(reinterpret_cast<std::uintptr_t>(key.context)));
        }
    };
    struct tTargetHash {
        std::uint64_t operator()(const ClumVellumEntity* target) const {
            return platform::MixWord(reinterpret_cast<std::uintptr_t>(target));
        }
    };

    tChunkedArray<tEntityGroup> m_nodes;  // grows without moving what it holds
    platform::tFlatTable<tEdge, std::uint32_t, tEdgeHash> m_edges;
    platform::tFlatTable<const wchar_t*, tEntityGroup, tQuidHash> m_byQuid;
    platform::tFlatTable<tLabelKey, tEntityGroup, tLabelHash> m_byLabel;
    tGroupLists<ClumVellumEntity, std::uint32_t> m_entityLists;
    std::vector<const ClumMetaClass*> m_classes;  // by class index, the classes of indexed objects

    template <class Key>
    struct tQueued {
        Key key;
        const ClumVellumEntity* entity;
        const ClumMetaClass* metaClass;
    };
    template <class Key, class Hash>
    void IndexQueued(tChunkedArray<tQueued<Key>>& queue, platform::tFlatTable<Key, tEntityGroup, Hash>& table);
    tChunkedArray<tQueued<const wchar_t*>> m_queuedQuids;
    tChunkedArray<tQueued<tLabelKey>> m_queuedLabels;

    std::deque<tReferenceList> m_referenceLists;
    std::size_t m_referenceListsIndexed = 0;
    bool m_referrersInUse = false;
    platform::tFlatTable<const ClumVellumEntity*, tGroup<IlumReference, bool>, tTargetHash> m_referrers;
    tGroupLists<IlumReference, bool> m_referrerLists;
};

}  // namespace lum
