// Handle lists: indices from 1, released ones reused last-first, records that
// never move.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/core/handle_list.h"

namespace {

// Blocks of about twice the last size; records of odd size aligned, never
// moved; released indices come back last-first, each released only once.
TEST(HandleList, BlocksGrowRecordsNeverMoveAndIndicesAreReused) {
    static handle_list* const list = list_new(12);
    std::vector<void*> records;
    for (auto [adds, blocks] : {std::pair{1, 1}, {3, 2}, {7, 3}, {15, 4}, {100, 6}}) {
        while (static_cast<int>(records.size()) < adds) {
            const std::int64_t index = static_cast<std::int64_t>(records.size()) + 1;
            ASSERT_EQ(list_add(list), index);
            records.push_back(list_get(list, index));
            std::memset(records.back(), 0xFF, 12);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(records.back()) % 8, 0u);
        }
        EXPECT_EQ(list->block_count, blocks) << adds << " adds";
    }
    for (std::int64_t index = 1; index <= 100; ++index) {
        EXPECT_EQ(list_get(list, index), records[index - 1]);
        EXPECT_EQ(list_index_of(list, records[index - 1]), index);
    }
    for (std::int64_t index : {3, 100}) EXPECT_EQ(list_remove(list, index), -1);
    for (std::int64_t index : {0, -1, 3, 100, 101}) {  // free or unknown: nothing changes
        EXPECT_EQ(list_remove(list, index), 0) << index;
        EXPECT_EQ(list_get(list, index), nullptr) << index;
    }
    for (std::int64_t index : {100, 3, 101}) EXPECT_EQ(list_add(list), index);
    EXPECT_EQ(static_cast<std::uint8_t*>(list_get(list, 100))[11], 0);  // zero-filled again
}

}  // namespace
