#include "runtime/strings/grow_table.h"

#include <cstdlib>
#include <cstring>

#include "runtime/errors/errors.h"

void* grow_table(void* table, const void* initial, std::size_t old_bytes, std::size_t new_bytes) {
    if (table != initial) return std::realloc(table, new_bytes);
    void* grown = std::malloc(new_bytes);
    if (grown) std::memcpy(grown, table, old_bytes);
    return grown;
}

void strings_out_of_memory(std::int32_t code) {
    raise_error(code);  // shows the box and exits for every critical number
    std::abort();       // not reached
}
