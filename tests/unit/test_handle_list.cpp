#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "runtime/core/handle_list.h"

namespace {

struct record {
    std::int64_t owner;
    std::int64_t serial;
    std::uint8_t rest[24];
};

// Lists are never freed; the tests keep theirs reachable (in storage that
// no destructor frees before the leak check at exit).
handle_list* lists_made[8];
handle_list* kept_list(handle_list* list) {
    static int count = 0;
    return lists_made[count++] = list;
}

TEST(HandleList, ReleasedIndicesComeBackLastFirstZeroFilledAndOnlyOnce) {
    handle_list* list = kept_list(list_new(sizeof(record)));
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(list_add(list), i);
    static_cast<record*>(list_get(list, 5))->serial = 77;
    EXPECT_EQ(list_remove(list, 2), -1);
    EXPECT_EQ(list_remove(list, 5), -1);
    for (std::int64_t index : {0, -1, 2, 7, 1000}) {   // free or unknown: nothing changes
        EXPECT_EQ(list_remove(list, index), 0) << index;
        EXPECT_EQ(list_get(list, index), nullptr) << index;
    }
    for (std::int64_t index : {5, 2, 7}) EXPECT_EQ(list_add(list), index);
    EXPECT_EQ(static_cast<record*>(list_get(list, 5))->serial, 0);
}

// Records never move as blocks are added (each about twice the last); odd
// record sizes keep the index word aligned, and the whole record is the user's.
TEST(HandleList, BlocksGrowAndRecordsNeverMove) {
    for (std::int64_t size : {std::int64_t{sizeof(record)}, std::int64_t{12}}) {
        handle_list* list = kept_list(list_new(size));
        std::vector<void*> records;
        const std::pair<int, int> adds_and_blocks[] = {{1, 1}, {3, 2}, {7, 3}, {15, 4}, {100, 6}};
        for (auto [adds, blocks] : adds_and_blocks) {
            while (static_cast<int>(records.size()) < adds) {
                ASSERT_EQ(list_add(list), static_cast<std::int64_t>(records.size()) + 1);
                records.push_back(list_get(list, static_cast<std::int64_t>(records.size()) + 1));
                std::memset(records.back(), 0xFF, size);
                EXPECT_EQ(reinterpret_cast<std::uintptr_t>(records.back()) % 8, 0u);
            }
            EXPECT_EQ(list->block_count, blocks) << adds << " adds";
        }
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(list_get(list, static_cast<std::int64_t>(i + 1)), records[i]);
            EXPECT_EQ(list_index_of(list, records[i]), static_cast<std::int64_t>(i + 1));
        }
    }
}

// Two threads add and remove on one locked list; each marks its records and
// checks that nobody else was handed them, and at the end every index is
// either in use by exactly one owner or free.
TEST(HandleList, LockedListSharedByTwoThreadsLosesAndDuplicatesNothing) {
    handle_list* list = kept_list(list_new_locked(sizeof(record)));
    std::atomic<int> faults{0};
    std::vector<std::int64_t> kept[2];
    auto worker = [&](int owner) {
        std::vector<std::int64_t>& mine = kept[owner - 1];
        for (int i = 0; i < 20000; ++i) {
            const std::int64_t index = list_add(list);
            auto* r = static_cast<record*>(list_get(list, index));
            if (!r || r->owner != 0) {
                ++faults;
                continue;
            }
            r->owner = owner;
            mine.push_back(index);
            if (i % 3 == 2) {   // give back an older one
                std::swap(mine[mine.size() / 2], mine.back());
                auto* o = static_cast<record*>(list_get(list, mine.back()));
                if (!o || o->owner != owner) ++faults;
                if (o) o->owner = 0;
                if (list_remove(list, mine.back()) != -1) ++faults;
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
