// The resolver's storage: arrays that grow by blocks without moving what
// they hold, and the groups that keep the objects of one key.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "resolve/chunked_array.h"
#include "resolve/groups.h"

namespace lum {
namespace {

TEST(ChunkedArrayTest, ElementsStayPutAndReadBackAcrossBlocks) {
    struct tPair {
        std::uint64_t index;
        std::uint32_t check;
    };
    tChunkedArray<tPair> array;
    std::vector<const tPair*> addresses;
    constexpr std::size_t Count = 300'000;  // block 0 and then blocks of 1024 << k
    for (std::size_t i = 0; i < Count; ++i) {
        tPair& added = array.emplace_back();
        EXPECT_EQ(added.index, 0u);  // new elements come zeroed
        added = {i, static_cast<std::uint32_t>(i * 7)};
        addresses.push_back(&added);
    }
    ASSERT_EQ(array.size(), Count);
    for (std::size_t i = 0; i < Count; ++i) {
        ASSERT_EQ(&array[i], addresses[i]) << i;
        ASSERT_EQ(array[i].index, i);
        ASSERT_EQ(array[i].check, i * 7);
    }
    for (std::size_t edge : {1023u, 1024u, 2047u, 2048u, 4095u, 4096u}) EXPECT_EQ(array[edge].index, edge);

    // Emptied, it starts again with zeroed elements.
    array.clear();
    EXPECT_TRUE(array.empty());
    for (std::size_t i = 0; i < 5000; ++i) ASSERT_EQ(array.emplace_back().check, 0u) << i;
}

TEST(GroupListsTest, OrderIsKeptAndHandedOutVectorsFollowLaterAdditions) {
    tGroupLists<int, std::uint32_t> lists;
    int objects[4] = {};
    tGroup<int, std::uint32_t> single, several;
    lists.Add(single, &objects[0], 10);
    lists.Add(several, &objects[1], 11);
    lists.Add(several, &objects[2], 12);
    EXPECT_EQ(lists.Size(single), 1u);
    EXPECT_EQ(lists.FactAt(single, 0), 10u);
    ASSERT_EQ(lists.Size(several), 2u);
    EXPECT_EQ(lists.At(several, 1), &objects[2]);
    EXPECT_EQ(lists.FactAt(several, 0), 11u);

    // A group of one handed out, then grown: the vector follows and the
    // group answers from its record from then on.
    const std::vector<const int*>& handed = lists.Published(single);
    EXPECT_EQ(handed, (std::vector<const int*>{&objects[0]}));
    lists.Add(single, &objects[3], 13);
    EXPECT_EQ(handed, (std::vector<const int*>{&objects[0], &objects[3]}));
    EXPECT_EQ(&lists.Published(single), &handed);
    EXPECT_EQ(lists.FactAt(single, 1), 13u);

    // Past the objects a record holds in itself.
    tGroup<int, std::uint32_t> many;
    int more[5] = {};
    for (std::uint32_t i = 0; i < 5; ++i) lists.Add(many, &more[i], 20 + i);
    ASSERT_EQ(lists.Size(many), 5u);
    for (std::uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(lists.At(many, i), &more[i]);
        EXPECT_EQ(lists.FactAt(many, i), 20 + i);
    }
    EXPECT_EQ(lists.Published(many).size(), 5u);

    // An empty group handed out (a path that only leads to others), then filled.
    tGroup<int, std::uint32_t> empty;
    EXPECT_EQ(lists.Size(empty), 0u);
    const std::vector<const int*>& none = lists.Published(empty);
    EXPECT_TRUE(none.empty());
    lists.Add(empty, &objects[1], 14);
    ASSERT_EQ(lists.Size(empty), 1u);
    EXPECT_EQ(lists.At(empty, 0), &objects[1]);
    EXPECT_EQ(lists.FactAt(empty, 0), 14u);
    EXPECT_EQ(none, (std::vector<const int*>{&objects[1]}));
}

}  // namespace
}  // namespace lum
