#include "resolve/resolver_cache.h"

#include "lum/meta/meta_class.h"
#include "lum/model/feature.h"
#include "lum/model/object_ref.h"

namespace lum {

std::uint32_t tResolverCache::Child(std::uint32_t parent, const wchar_t* name) {
    std::uint32_t& node = m_edges[tEdge{name, parent}];
    if (node == Root) {
        node = static_cast<std::uint32_t>(m_nodes.size());
        m_nodes.emplace_back();
    }
    return node;
}

std::uint32_t tResolverCache::FindChild(std::uint32_t parent, const ClumIdent& name) const {
    const std::uint32_t* node = m_edges.Find(tEdge{name.c_str(), parent});
    return node == nullptr ? Root : *node;
}

std::uint32_t tResolverCache::FindPath(const tNamePath& path) const {
    std::uint32_t node = Root;
    for (const ClumIdent& name : path) {
        node = FindChild(node, name);
        if (node == Root) return Root;
    }
    return node;
}

const std::vector<const IlumReference*>* tResolverCache::Referrers(const ClumVellumEntity* target) {
    m_referrersInUse = true;
    IndexReferrers();
    tGroup<IlumReference, bool>* found = target == nullptr ? nullptr : m_referrers.Find(target);
    return found == nullptr ? nullptr : &m_referrerLists.Published(*found);
}

void tResolverCache::ReferenceListsBound() {
    if (m_referrersInUse) IndexReferrers();
}

void tResolverCache::IndexReferrers() {
    for (; m_referenceListsIndexed < m_referenceLists.size(); ++m_referenceListsIndexed) {
        const tReferenceList& references = m_referenceLists[m_referenceListsIndexed];
        for (std::size_t i = 0; i < references.size(); ++i) {
            const IlumReference* reference = references[i].reference;
            if (reference == nullptr) continue;
            if (reference->IsSingle()) {
                AddReferrer(reference->GetObjectRef(-1), reference);
            } else {
                for (int v = 0; v < reference->GetCount(); ++v) AddReferrer(reference->GetObjectRef(v), reference);
            }
        }
    }
}

void tResolverCache::IndexQueued() {
    IndexQueued(m_queuedQuids, m_byQuid);
    IndexQueued(m_queuedLabels, m_byLabel);
}

template <class Key, class Hash>
void tResolverCache::IndexQueued(tChunkedArray<tQueued<Key>>& queue, platform::tFlatTable<Key, tEntityGroup, Hash>& table) {
    constexpr std::size_t Ahead = 8;
    const std::size_t count = queue.size();
    table.Reserve(table.Size() + count);
    for (std::size_t i = 0; i < count; ++i) {
        if (i + Ahead < count) table.Prefetch(queue[i + Ahead].key);
        const tQueued<Key>& queued = queue[i];
        Add(table[queued.key], queued.entity, *queued.metaClass);
    }
    queue.clear();
}

void tResolverCache::Add(tEntityGroup& group, const ClumVellumEntity* entity, const ClumMetaClass& metaClass) {
    const std::uint32_t index = metaClass.GetIndex();
    if (index >= m_classes.size()) m_classes.resize(index + 1, nullptr);
    m_classes[index] = &metaClass;
    m_entityLists.Add(group, entity, index);
}

void tResolverCache::AddReferrer(const ClumObjectRef* value, const IlumReference* reference) {
    if (value != nullptr && value->Target() != nullptr) m_referrerLists.Add(m_referrers[value->Target()], reference, true);
}

}  // namespace lum
