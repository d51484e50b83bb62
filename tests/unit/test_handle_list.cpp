// Handle lists: indices from 1, released ones reused last-first, records that
// never move, and a locked list shared by two threads.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "runtime/core/handle_list.h"

namespace {

struct record {
    std::int64_t owner;
    std::uint8_t rest[24];
};

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

// Two threads add and remove on one locked list, each marking its records;
// nobody is handed a record in use, and at the end every index is in use by
// exactly one owner or free.
TEST(HandleList, LockedListSharedByTwoThreadsLosesAndDuplicatesNothing) {
    static handle_list* const list = list_new_locked(sizeof(record));
    std::atomic<int> faults{0};
    std::vector<std::int64_t> kept[2];
    auto worker = [&](int owner) {
        std::vector<std::int64_t>& mine = kept[owner - 1];
        for (int i = 0; i < 20000; ++i) {
            auto* r = static_cast<record*>(list_get(list, list_add(list)));
            if (!r || r->owner != 0) {
                ++faults;
                continue;
            }
            r->owner = owner;
            mine.push_back(list_index_of(list, r));
            if (i % 3 == 2) {  // give back an older one
                std::swap(mine[mine.size() / 2], mine.back());
                auto* o = static_cast<record*>(list_get(list, mine.back()));
                faults += !o || o->owner != owner;
                if (o) o->owner = 0;
                faults += list_remove(list, mine.back()) != -1;
                mine.pop_back();
            }
        }
    };
    std::thread a(worker, 1), b(worker, 2);
    a.join();
    b.join();
    EXPECT_EQ(faults.load(), 0);
    std::set<std::int64_t> in_use;
    for (int owner = 1; owner <= 2; ++owner)
        for (std::int64_t index : kept[owner - 1]) {
            EXPECT_TRUE(in_use.insert(index).second) << "index " << index << " handed out twice";
            EXPECT_EQ(static_cast<record*>(list_get(list, index))->owner, owner);
        }
    const std::int64_t highest = list->highest_index.load();
    EXPECT_EQ(highest - list->free_count, static_cast<std::int64_t>(in_use.size()));
    for (std::int64_t index = 1; index <= highest; ++index)
        EXPECT_EQ(list_get(list, index) != nullptr, in_use.count(index) == 1) << index;
}

}  // namespace
