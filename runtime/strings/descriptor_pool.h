// The pool that hands out string descriptors.
//
// Descriptors are carved from blocks of 65,536 zeroed records that are never
// returned; released descriptors go onto a free stack and are reused first.
#pragma once
#include <cstddef>
#include <cstdint>

#include "runtime/strings/str_desc.h"

struct descriptor_pool_state {
    str_desc* block;              // the block being carved
    std::size_t next_in_block;
    str_desc** free_stack;
    std::uint32_t free_count;
    std::uint32_t free_room;
};
extern descriptor_pool_state descriptor_pool;

inline constexpr std::size_t descriptors_per_block = 65536;

// Starts a new block of descriptors.
void descriptor_block_new();
// Doubles the room of the full free stack.
void descriptor_free_stack_grow();

// A descriptor with every field zero.
inline str_desc* descriptor_take() {
    if (descriptor_pool.free_count != 0) {
        str_desc* d = descriptor_pool.free_stack[--descriptor_pool.free_count];
        *d = str_desc{};
        return d;
    }
    if (descriptor_pool.next_in_block == descriptors_per_block) descriptor_block_new();
    return &descriptor_pool.block[descriptor_pool.next_in_block++];
}

// Puts d on the free stack. Its fields are left as they are until reuse.
inline void descriptor_release(str_desc* d) {
    if (descriptor_pool.free_count == descriptor_pool.free_room) descriptor_free_stack_grow();
    descriptor_pool.free_stack[descriptor_pool.free_count++] = d;
}
