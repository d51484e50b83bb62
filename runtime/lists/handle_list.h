// Handle lists: growable tables of fixed-size records addressed by a 1-based
// index. Records never move once handed out, released indices are reused
// (the most recently released first), and list_get needs no lock.
//
// Records live in blocks of 1, 3, 7, 15 ... slots; each record is followed by
// an 8-byte index word holding its own index while in use and 0 when free.
// A list made by list_new_locked may be added to and removed from by several
// threads (lock order: add lock, then free lock); a list made by list_new is
// grown by one thread only.
#pragma once
#include <atomic>
#include <cstdint>
#include <pthread.h>

struct handle_list {
    std::int64_t element_size;   // bytes of a record as the user sees it
    std::int64_t stride;         // record rounded up to 8 bytes, plus the index word

    // Released indices; the entry at position free_count is the top.
    std::int64_t* free_stack;
    std::int64_t free_count;
    std::int64_t free_capacity;
    std::int64_t* previous_free_stack;   // freed at the next growth

    std::uint8_t* current_block;
    std::int64_t block_capacity;   // records; slot 0 is never handed out
    std::int64_t block_used;
    std::uint8_t* blocks[63];
    std::int64_t block_count;

    // index_table[i] is the record of index i (entries 0 .. index_capacity).
    std::atomic<std::uint8_t**> index_table;
    std::int64_t index_capacity;
    std::uint8_t** previous_index_table;   // freed at the next growth
    std::atomic<std::int64_t> highest_index;

    pthread_mutex_t* add_lock;    // null in a list without locks
    pthread_mutex_t* free_lock;
};

handle_list* list_new(std::int64_t element_size);
handle_list* list_new_locked(std::int64_t element_size);
// A zero-filled record; returns its index, or 0 when no memory was left.
std::int64_t list_add(handle_list* list);
// -1 when the record was released, 0 when the index was free or out of range.
std::int64_t list_remove(handle_list* list, std::int64_t index);
// The record of index, or null for an index out of range or free.
void* list_get(handle_list* list, std::int64_t index);
// The index of a record handed out by list_add.
std::int64_t list_index_of(handle_list* list, const void* record);

// Lists that start-up makes for the stream, connection and network
// statements. Nothing in this program uses them: they are there so that a
// program with such statements finds them made.
inline constexpr std::int64_t special_handle_record_size = 16;
inline constexpr std::int64_t network_record_size = 40;
extern handle_list* special_handles;   // closed by CLOSE without arguments
extern handle_list* network_lists[2];
