// The string heap: one contiguous block that holds the text of the heap
// strings, bump-allocated from its start, compacted and enlarged when full.
#pragma once
#include <cstddef>
#include <cstdint>

#include "runtime/strings/string_list.h"

// Bytes reserved after the text of every new heap string: a later assignment
// can grow the string into them without moving it.
inline constexpr std::size_t heap_spare_bytes = 32;

extern std::uint8_t* heap_base;
extern std::size_t heap_used;       // new text goes to heap_base + heap_used
extern std::size_t heap_capacity;
extern string_list heap_list;

// Closes the gaps of more than 32 bytes between the texts of the heap
// strings; then, when the block is still more than about half full, enlarges
// it so that need more bytes fit, and rebases every heap string onto it.
void heap_compact(std::size_t need);

// Gives up d's heap text: its slot dies and, when it was the newest string,
// the space above the newest remaining string is given back at once.
void heap_release(str_desc* d);
