#include "runtime/strings/descriptor_pool.h"

#include <cstdlib>

#include "runtime/strings/grow_table.h"

namespace {

constexpr std::size_t descriptors_per_block = 65536;
constexpr std::uint32_t initial_free_room = 65536;

str_desc first_block[descriptors_per_block];
str_desc* current_block = first_block;
std::size_t next_in_block = 0;

str_desc* initial_free_stack[initial_free_room];
str_desc** free_stack = initial_free_stack;
std::uint32_t free_count = 0;
std::uint32_t free_room = initial_free_room;

}  // namespace

str_desc* descriptor_take() {
    if (free_count != 0) {
        str_desc* d = free_stack[--free_count];
        *d = str_desc{};
        return d;
    }
    if (next_in_block == descriptors_per_block) {
        // A new block is out of memory for descriptors just like a stack
        // that cannot grow.
        auto* block = static_cast<str_desc*>(std::calloc(descriptors_per_block, sizeof(str_desc)));
        if (!block) strings_out_of_memory(508);
        current_block = block;
        next_in_block = 0;
    }
    return &current_block[next_in_block++];
}

void descriptor_release(str_desc* d) {
    if (free_count == free_room) {
        if (free_room > UINT32_MAX / 2) strings_out_of_memory(508);
        void* grown = grow_table(free_stack, initial_free_stack, free_room * sizeof(str_desc*),
                                 2 * std::size_t{free_room} * sizeof(str_desc*));
        if (!grown) strings_out_of_memory(508);
        free_stack = static_cast<str_desc**>(grown);
        free_room *= 2;
    }
    free_stack[free_count++] = d;
}
