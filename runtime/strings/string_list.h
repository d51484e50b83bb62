// The list of the strings whose text lives in one area (string heap or data
// segment), in the order in which their texts lie there.
//
// A dead slot holds the all-ones pointer. The texts of live entries lie in
// increasing address order, each ending at or before the next one's start, so
// the next live entry is also the next string in memory.
#pragma once
#include <cstdint>

#include "runtime/strings/str_desc.h"

struct string_list {
    str_desc** slots;
    std::uint32_t count;
    std::uint32_t capacity;       // one less than the number of slots
    str_desc** initial_slots;     // the static array it starts in
    std::int32_t growth_error;    // critical error when it cannot grow
};

inline str_desc* dead_slot() { return reinterpret_cast<str_desc*>(~std::uintptr_t{0}); }

// Makes room for one more entry in a full list: drops the dead slots and,
// when the list is still at least half full, doubles its capacity.
void string_list_make_room(string_list& list);

// Appends d and sets d->list_index.
inline void string_list_append(string_list& list, str_desc* d) {
    if (list.count > list.capacity) string_list_make_room(list);
    d->list_index = list.count;
    list.slots[list.count++] = d;
}

// True while d still owns its slot: false once the slot has been cut from
// the list or handed to another string.
inline bool string_list_holds(const string_list& list, const str_desc* d) {
    return d->list_index < list.count && list.slots[d->list_index] == d;
}
