// Growth of the string machinery's tables.
//
// Every table starts as a static array, so it is ready before any dynamic
// initialiser runs, and moves to the C heap the first time it grows.
#pragma once
#include <cstddef>
#include <cstdint>

// Returns a block of new_bytes holding the first old_bytes of table, or null
// when memory is exhausted (table is then unchanged). initial is the table's
// static array, which is never passed to realloc or free.
void* grow_table(void* table, const void* initial, std::size_t old_bytes, std::size_t new_bytes);

// Ends the program through the critical-error box ("Out of memory").
[[noreturn]] void strings_out_of_memory(std::int32_t code);
