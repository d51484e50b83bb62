// Block guards: records that tell whether a memory-block handle still refers
// to a live block. Each new guard gets a fresh 64-bit id; a released guard
// has id 0.
#include <cstdlib>

#include "runtime/strings/grow_table.h"
#include "runtime/strings/str_desc.h"

namespace {

constexpr std::size_t guards_per_block = 10000;
constexpr std::size_t initial_free_room = 1000;
// Out of memory while allocating for memory blocks.
constexpr std::int32_t guard_out_of_memory = 518;

block_guard first_guard_block[guards_per_block];
block_guard* current_block = first_guard_block;
std::size_t next_in_block = 0;

block_guard* initial_free_stack[initial_free_room];
block_guard** free_stack = initial_free_stack;
std::size_t free_count = 0;
std::size_t free_room = initial_free_room;

std::uint64_t last_guard_id = 1073741823;

}  // namespace

block_guard* block_guard_new() {
    block_guard* guard;
    if (free_count != 0) {
        guard = free_stack[--free_count];
    } else {
        if (next_in_block == guards_per_block) {
            auto* block = static_cast<block_guard*>(std::calloc(guards_per_block, sizeof(block_guard)));
            if (!block) strings_out_of_memory(guard_out_of_memory);
            current_block = block;
            next_in_block = 0;
        }
        guard = &current_block[next_in_block++];
    }
    *guard = block_guard{++last_guard_id, 0, nullptr};
    return guard;
}

void block_guard_release(block_guard* guard) {
    guard->id = 0;
    if (guard->kind == 1) std::free(guard->owned);
    guard->owned = nullptr;
    if (free_count == free_room) {
        void* grown = grow_table(free_stack, initial_free_stack, free_room * sizeof(block_guard*),
                                 2 * free_room * sizeof(block_guard*));
        if (!grown) strings_out_of_memory(guard_out_of_memory);
        free_stack = static_cast<block_guard**>(grown);
        free_room *= 2;
    }
    free_stack[free_count++] = guard;
}
