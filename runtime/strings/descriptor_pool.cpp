#include "runtime/strings/descriptor_pool.h"

#include <cstdlib>

#include "runtime/strings/grow_table.h"

namespace {
constexpr std::uint32_t initial_free_room = 65536;
str_desc first_block[descriptors_per_block];
str_desc* initial_free_stack[initial_free_room];
}  // namespace

descriptor_pool_state descriptor_pool{first_block, 0, initial_free_stack, 0, initial_free_room};

void descriptor_block_new() {
    // A new block is out of memory for descriptors just like a stack that
    // cannot grow.
    auto* block = static_cast<str_desc*>(std::calloc(descriptors_per_block, sizeof(str_desc)));
    if (!block) strings_out_of_memory(508);
    descriptor_pool.block = block;
    descriptor_pool.next_in_block = 0;
}

void descriptor_free_stack_grow() {
    const std::uint32_t room = descriptor_pool.free_room;
    if (room > UINT32_MAX / 2) strings_out_of_memory(508);
    void* grown = grow_table(descriptor_pool.free_stack, initial_free_stack, room * sizeof(str_desc*),
                             2 * std::size_t{room} * sizeof(str_desc*));
    if (!grown) strings_out_of_memory(508);
    descriptor_pool.free_stack = static_cast<str_desc**>(grown);
    descriptor_pool.free_room = 2 * room;
}
