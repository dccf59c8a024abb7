#pragma once
// The objects an index keeps under one key, in the order they were added,
// each with a small fact about it (an entity's class), so that choosing
// among candidates does not touch the objects. Most keys have one object: a
// tGroup holds it inline; a key with more keeps them in a list of its
// tGroupLists. A vector of the objects alone is made for a key when a lookup
// from outside asks for it; it never moves and is kept up to date.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

namespace lum {

template <class T, class Fact>
struct tGroup {
    const T* first = nullptr;
    Fact firstFact{};
    std::uint32_t list = 0;       // 1 + the index of the list of every object, or 0
    std::uint32_t published = 0;  // 1 + the index of the vector handed out, or 0
};

template <class T, class Fact>
class tGroupLists {
public:
    using tGroupOf = tGroup<T, Fact>;

    void Add(tGroupOf& group, const T* item, Fact fact) {
        if (group.first == nullptr) {
            group.first = item;
            group.firstFact = fact;
        } else {
            if (group.list == 0) {
                m_lists.emplace_back().emplace_back(group.first, group.firstFact);
                group.list = static_cast<std::uint32_t>(m_lists.size());
            }
            m_lists[group.list - 1].emplace_back(item, fact);
        }
        if (group.published != 0) m_published[group.published - 1].push_back(item);
    }
    std::size_t Size(const tGroupOf& group) const {
        if (group.list != 0) return m_lists[group.list - 1].size();
        return group.first == nullptr ? 0 : 1;
    }
    const T* At(const tGroupOf& group, std::size_t i) const {
        return group.list != 0 ? m_lists[group.list - 1][i].first : group.first;
    }
    Fact FactAt(const tGroupOf& group, std::size_t i) const {
        return group.list != 0 ? m_lists[group.list - 1][i].second : group.firstFact;
    }
    // Every object of the group as a vector that stays valid, and up to
    // date, as long as these lists live.
    const std::vector<const T*>& Published(tGroupOf& group) {
        if (group.published == 0) {
            std::vector<const T*>& objects = m_published.emplace_back();
            for (std::size_t i = 0; i < Size(group); ++i) objects.push_back(At(group, i));
            group.published = static_cast<std::uint32_t>(m_published.size());
        }
        return m_published[group.published - 1];
    }

private:
    std::deque<std::vector<std::pair<const T*, Fact>>> m_lists;
    std::deque<std::vector<const T*>> m_published;
};

}  // namespace lum
