#pragma once
// The objects an index keeps under one key, in the order they were added,
// each with a small fact about it (an entity's class index), so that
// choosing among candidates does not touch the objects. Most keys have one
// object: a tGroup, 16 bytes, holds it inline; a key with more, or one whose
// objects were handed out, gets a record in its tGroupLists. A vector of
// the objects alone is made for a key when a lookup from outside asks for
// it; it never moves and is kept up to date.

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
    std::uint32_t record = 0;  // 1 + the index of the group's record, or 0
};

template <class T, class Fact>
class tGroupLists {
public:
    using tGroupOf = tGroup<T, Fact>;

    void Add(tGroupOf& group, const T* item, Fact fact) {
        if (group.first == nullptr && group.record == 0) {
            group.first = item;
            group.firstFact = fact;
            return;
        }
        tRecord& record = RecordOf(group);
        record.items.emplace_back(item, fact);
        if (record.published != 0) m_published[record.published - 1].push_back(item);
    }
    std::size_t Size(const tGroupOf& group) const {
        if (group.record != 0) return m_records[group.record - 1].items.size();
        return group.first == nullptr ? 0 : 1;
    }
    const T* At(const tGroupOf& group, std::size_t i) const {
        return group.record != 0 ? m_records[group.record - 1].items[i].first : group.first;
    }
    Fact FactAt(const tGroupOf& group, std::size_t i) const {
        return group.record != 0 ? m_records[group.record - 1].items[i].second : group.firstFact;
    }
    // Every object of the group as a vector that stays valid, and up to
    // date, as long as these lists live.
    const std::vector<const T*>& Published(tGroupOf& group) {
        tRecord& record = RecordOf(group);
        if (record.published == 0) {
            std::vector<const T*>& objects = m_published.emplace_back();
            for (std::size_t i = 0; i < record.items.size(); ++i) objects.push_back(record.items[i].first);
            record.published = static_cast<std::uint32_t>(m_published.size());
        }
        return m_published[record.published - 1];
    }

private:
    using tItem = std::pair<const T*, Fact>;

    // Every object of a group, the first included. The first two lie in the
    // record itself (a class and its view share a name path), so that
    // choosing between them reads one place.
    class tItems {
    public:
        std::size_t size() const { return m_count; }
        const tItem& operator[](std::size_t i) const { return i < Inline ? m_inline[i] : m_rest[i - Inline]; }
        void emplace_back(const T* item, Fact fact) {
            if (m_count < Inline) m_inline[m_count] = tItem(item, fact);
            else m_rest.emplace_back(item, fact);
            ++m_count;
        }

    private:
        static constexpr std::size_t Inline = 2;
        std::size_t m_count = 0;
        tItem m_inline[Inline];
        std::vector<tItem> m_rest;
    };

    struct tRecord {
        tItems items;
        std::uint32_t published = 0;  // 1 + the index of the vector handed out, or 0
    };

    tRecord& RecordOf(tGroupOf& group) {
        if (group.record == 0) {
            tRecord& record = m_records.emplace_back();
            if (group.first != nullptr) record.items.emplace_back(group.first, group.firstFact);
            group.record = static_cast<std::uint32_t>(m_records.size());
        }
        return m_records[group.record - 1];
    }

    std::deque<tRecord> m_records;
    std::deque<std::vector<const T*>> m_published;
};

}  // namespace lum
