#include "resolve/resolver_cache.h"

namespace lum {

std::uint32_t tResolverCache::Child(std::uint32_t parent, const ClumIdent& name) {
    const auto [edge, added] = m_edges.try_emplace(tEdge{parent, name.c_str()}, static_cast<std::uint32_t>(m_nodes.size()));
    if (added) m_nodes.emplace_back();
    return edge->second;
}

std::uint32_t tResolverCache::FindChild(std::uint32_t parent, const ClumIdent& name) const {
    const auto edge = m_edges.find(tEdge{parent, name.c_str()});
    return edge == m_edges.end() ? Root : edge->second;
}

std::uint32_t tResolverCache::FindPath(const tNamePath& path) const {
    std::uint32_t node = Root;
    for (const ClumIdent& name : path) {
        node = FindChild(node, name);
        if (node == Root) return Root;
    }
    return node;
}

}  // namespace lum
