#include "runtime/strings/string_list.h"

#include "runtime/strings/grow_table.h"

namespace {

// Removes the dead slots; survivors keep their order and learn their new index.
void string_list_compact(string_list& list) {
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < list.count; ++i) {
        str_desc* d = list.slots[i];
        if (d == dead_slot()) continue;
        d->list_index = kept;
        list.slots[kept++] = d;
    }
    list.count = kept;
}

}  // namespace

void string_list_make_room(string_list& list) {
    string_list_compact(list);
    if (list.count < list.capacity / 2) return;
    if (list.capacity > UINT32_MAX / 2 - 1) strings_out_of_memory(list.growth_error);
    const std::uint32_t capacity = 2 * list.capacity;
    void* grown = grow_table(list.slots, list.initial_slots, (std::size_t{list.capacity} + 1) * sizeof(str_desc*),
                             (std::size_t{capacity} + 1) * sizeof(str_desc*));
    if (!grown) strings_out_of_memory(list.growth_error);
    list.slots = static_cast<str_desc**>(grown);
    list.capacity = capacity;
}
