#pragma once
// The indexes of the name resolver: by name path, by quid, by bound target
// and by label within a context. Keys are interned identifiers and
// pointers, so every lookup compares pointers only. Name paths form a tree
// of nodes (a node per distinct path), so no path is ever stored whole.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <unordered_map>
#include <utility>
#include <vector>

#include "lum/text/ident.h"

namespace lum {

class ClumVellumEntity;
class IlumReference;

using tNamePath = std::vector<ClumIdent>;
using tEntityList = std::vector<const ClumVellumEntity*>;

// The objects under one key, in the order they were added. Most keys have
// one object, which is kept inline; a vector for lookups from outside is
// made on the first such lookup and kept up to date from then on.
template <class T>
class tGroup {
public:
    void Add(const T* item) {
        if (m_pFirst == nullptr) m_pFirst = item;
        else m_rest.push_back(item);
        if (m_pPublished) m_pPublished->push_back(item);
    }
    std::size_t Size() const { return m_pFirst == nullptr ? 0 : 1 + m_rest.size(); }
    const T* At(std::size_t i) const { return i == 0 ? m_pFirst : m_rest[i - 1]; }
    const std::vector<const T*>& Published() {
        if (!m_pPublished) {
            m_pPublished = std::make_unique<std::vector<const T*>>();
            for (std::size_t i = 0; i < Size(); ++i) m_pPublished->push_back(At(i));
        }
        return *m_pPublished;
    }

private:
    const T* m_pFirst = nullptr;
    std::vector<const T*> m_rest;
    std::unique_ptr<std::vector<const T*>> m_pPublished;
};

using tEntityGroup = tGroup<ClumVellumEntity>;

class tResolverCache {
public:
    static constexpr std::uint32_t Root = 0;  // the node of the empty path

    tResolverCache() : m_nodes(1) {}
    tResolverCache(const tResolverCache&) = delete;
    tResolverCache& operator=(const tResolverCache&) = delete;

    // The node of `name` below `parent`, made if needed.
    std::uint32_t Child(std::uint32_t parent, const ClumIdent& name);
    // The node of `name` below `parent`, or Root when there is none.
    std::uint32_t FindChild(std::uint32_t parent, const ClumIdent& name) const;
    // The node of a whole path, or Root when the index has none.
    std::uint32_t FindPath(const tNamePath& path) const;
    tEntityGroup& Node(std::uint32_t node) { return m_nodes[node]; }

private:
    // The index nodes come from one arena, freed with the cache: hundreds of
    // thousands of small allocations cost nothing each.
    std::pmr::monotonic_buffer_resource m_arena{1 << 20};

public:
    std::pmr::unordered_map<ClumIdent, tEntityGroup> byQuid{&m_arena};
    // Bound targets and their referring features: recorded as pairs while
    // binding, indexed by target when first asked for.
    std::vector<std::pair<const ClumVellumEntity*, const IlumReference*>> boundPairs;
    std::pmr::unordered_map<const ClumVellumEntity*, tGroup<IlumReference>> referrers{&m_arena};
    const std::vector<const IlumReference*>* Referrers(const ClumVellumEntity* target) {
        for (const auto& [bound, reference] : boundPairs) referrers[bound].Add(reference);
        boundPairs.clear();
        const auto found = referrers.find(target);
        return found == referrers.end() ? nullptr : &found->second.Published();
    }
    // Context (a category or a file) -> label -> objects.
    std::pmr::unordered_map<const ClumVellumEntity*, std::pmr::unordered_map<ClumIdent, tEntityGroup>> byLabel{
        &m_arena};

private:
    struct tEdge {
        std::uint32_t parent;
        const wchar_t* name;
        bool operator==(const tEdge& other) const { return parent == other.parent && name == other.name; }
    };
    struct tEdgeHash {
        std::size_t operator()(const tEdge& edge) const noexcept {
            return std::hash<const wchar_t*>{}(edge.name) * 31u + edge.parent;
        }
    };

    std::vector<tEntityGroup> m_nodes;
    std::pmr::unordered_map<tEdge, std::uint32_t, tEdgeHash> m_edges{&m_arena};
};

}  // namespace lum
