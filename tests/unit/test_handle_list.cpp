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

// Lists are never freed; the tests keep theirs reachable.
handle_list* lists_made[8];
int list_count = 0;

handle_list* new_list(std::int64_t size, bool locked = false) {
    return lists_made[list_count++] = locked ? list_new_locked(size) : list_new(size);
}

TEST(HandleList, IndicesStartAtOneAndReleasedOnesComeBackZeroFilled) {
    handle_list* list = new_list(sizeof(record));
    EXPECT_EQ(list_add(list), 1);
    static_cast<record*>(list_get(list, 1))->serial = 77;
    EXPECT_EQ(list_remove(list, 1), -1);
    EXPECT_EQ(list_get(list, 1), nullptr);
    EXPECT_EQ(list_add(list), 1);
    EXPECT_EQ(static_cast<record*>(list_get(list, 1))->serial, 0);

    for (int i = 2; i <= 6; ++i) EXPECT_EQ(list_add(list), i);
    EXPECT_EQ(list_remove(list, 2), -1);
    EXPECT_EQ(list_remove(list, 5), -1);
    EXPECT_EQ(list_add(list), 5);   // the most recently released first
    EXPECT_EQ(list_add(list), 2);
    EXPECT_EQ(list_add(list), 7);
}

TEST(HandleList, RemovingAFreeOrUnknownIndexChangesNothing) {
    handle_list* list = new_list(16);
    for (int i = 0; i < 3; ++i) list_add(list);
    EXPECT_EQ(list_remove(list, 2), -1);
    for (std::int64_t index : {0, -1, 2, 4, 1000}) {
        EXPECT_EQ(list_remove(list, index), 0) << index;
        EXPECT_EQ(list_get(list, index), nullptr) << index;
    }
    EXPECT_EQ(list_add(list), 2);   // 2 went onto the free stack once only
    EXPECT_EQ(list_add(list), 4);
    EXPECT_NE(list_get(list, 3), nullptr);
}

TEST(HandleList, BlocksGrowAndRecordsNeverMove) {
    handle_list* list = new_list(sizeof(record));
    std::vector<void*> records;
    const std::pair<int, int> adds_and_blocks[] = {{1, 1}, {3, 2}, {7, 3}, {15, 4}, {100, 6}};
    for (auto [adds, blocks] : adds_and_blocks) {
        while (static_cast<int>(records.size()) < adds) {
            const std::int64_t index = list_add(list);
            ASSERT_EQ(index, static_cast<std::int64_t>(records.size()) + 1);
            auto* r = static_cast<record*>(list_get(list, index));
            r->serial = index;
            records.push_back(r);
        }
        EXPECT_EQ(list->block_count, blocks) << adds << " adds";
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto index = static_cast<std::int64_t>(i + 1);
        EXPECT_EQ(list_get(list, index), records[i]);
        EXPECT_EQ(list_index_of(list, records[i]), index);
        EXPECT_EQ(static_cast<record*>(records[i])->serial, index);
    }
}

TEST(HandleList, OddRecordSizesKeepTheIndexWordAligned) {
    handle_list* list = new_list(12);
    for (int i = 1; i <= 10; ++i) {
        ASSERT_EQ(list_add(list), i);
        void* r = list_get(list, i);
        std::memset(r, 0xFF, 12);   // the whole record is the user's
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(r) % 8, 0u);
        EXPECT_EQ(list_index_of(list, r), i);
    }
}

// Two threads add and remove on one locked list; each marks its records and
// checks that nobody else was handed them, and at the end every index is
// either in use by exactly one owner or free.
TEST(HandleList, LockedListSharedByTwoThreadsLosesAndDuplicatesNothing) {
    handle_list* list = new_list(sizeof(record), true);
    constexpr int rounds = 20000;
    std::atomic<int> faults{0};
    std::vector<std::int64_t> kept[2];

    auto worker = [&](int owner) {
        std::vector<std::int64_t> mine;
        for (int i = 0; i < rounds; ++i) {
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
                const std::int64_t old = mine.back();
                mine.pop_back();
                auto* o = static_cast<record*>(list_get(list, old));
                if (!o || o->owner != owner) ++faults;
                if (o) o->owner = 0;
                if (list_remove(list, old) != -1) ++faults;
            }
        }
        kept[owner - 1] = mine;
    };
    std::thread a(worker, 1), b(worker, 2);
    a.join();
    b.join();

    EXPECT_EQ(faults.load(), 0);
    std::set<std::int64_t> in_use;
    for (int owner = 1; owner <= 2; ++owner) {
        for (std::int64_t index : kept[owner - 1]) {
            EXPECT_TRUE(in_use.insert(index).second) << "index " << index << " handed out twice";
            auto* r = static_cast<record*>(list_get(list, index));
            ASSERT_NE(r, nullptr);
            EXPECT_EQ(r->owner, owner);
        }
    }
    const std::int64_t highest = list->highest_index.load();
    EXPECT_EQ(highest - list->free_count, static_cast<std::int64_t>(in_use.size()));
    for (std::int64_t index = 1; index <= highest; ++index)
        EXPECT_EQ(list_get(list, index) != nullptr, in_use.count(index) == 1) << index;
}

}  // namespace
