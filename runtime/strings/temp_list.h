// The temp list: every temp string, in order of creation, so that the end of
// a statement can free the expression results it left behind.
//
// Slot 0 is a permanent null sentinel: a temp_index of 0 means "not listed"
// and a backward scan always stops there. A removed entry holds the all-ones
// pointer until the count drops past it. The list is never compacted.
#pragma once
#include <cstdint>

#include "runtime/strings/string_list.h"

struct temp_list_state {
    str_desc** slots;
    std::uint32_t count;      // starts at 1: the sentinel
    std::uint32_t capacity;   // one less than the number of slots
};
extern temp_list_state temp_list;

// Doubles the capacity of the full list.
void temp_list_grow();

// Lists d as a temp (sets is_temp and temp_index).
inline void temp_list_add(str_desc* d) {
    if (temp_list.count > temp_list.capacity) temp_list_grow();
    d->is_temp = 1;
    d->temp_index = temp_list.count;
    temp_list.slots[temp_list.count++] = d;
}

// Marks d's slot removed and lowers the count past removed slots on top.
inline void temp_list_remove(str_desc* d) {
    temp_list.slots[d->temp_index] = dead_slot();
    d->temp_index = 0;
    while (temp_list.slots[temp_list.count - 1] == dead_slot()) --temp_list.count;
}
