#include "platform/large_blocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace lum::platform {
namespace {

// Sizes below, at and above the point where blocks are mapped on their own,
// and one that is not a whole number of pages.
TEST(LargeBlocksTest, BlocksOfEverySizeAreZeroWritableAndAligned) {
    for (std::size_t bytes : {std::size_t{0}, std::size_t{24}, std::size_t{1} << 20, (std::size_t{1} << 20) + 1,
                              std::size_t{3} << 20, (std::size_t{5} << 20) + 4096 + 8}) {
        auto* block = static_cast<unsigned char*>(AllocateZeroed(bytes));
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignof(std::max_align_t), 0u);
        bool zero = true;
        for (std::size_t i = 0; i < bytes; ++i) zero = zero && block[i] == 0;
        EXPECT_TRUE(zero) << bytes;
        if (bytes > 0) std::memset(block, 0xAB, bytes);
        FreeZeroed(block, bytes);
    }
    FreeZeroed(nullptr, 1 << 20);  // ignored
}

}  // namespace
}  // namespace lum::platform
