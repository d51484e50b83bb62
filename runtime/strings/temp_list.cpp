#include "runtime/strings/temp_list.h"

#include "runtime/strings/grow_table.h"

namespace {
constexpr std::uint32_t initial_temp_slots = 65536;
str_desc* initial_temp_list[initial_temp_slots];
}  // namespace

temp_list_state temp_list{initial_temp_list, 1, initial_temp_slots - 1};

void temp_list_grow() {
    if (temp_list.capacity > UINT32_MAX / 2 - 1) strings_out_of_memory(511);
    const std::uint32_t capacity = 2 * temp_list.capacity;
    void* grown = grow_table(temp_list.slots, initial_temp_list,
                             (std::size_t{temp_list.capacity} + 1) * sizeof(str_desc*),
                             (std::size_t{capacity} + 1) * sizeof(str_desc*));
    if (!grown) strings_out_of_memory(511);
    temp_list.slots = static_cast<str_desc**>(grown);
    temp_list.capacity = capacity;
}

void str_make_temp(str_desc* d) {
    if (d->temp_index == 0) temp_list_add(d);
}

std::int32_t temp_cleanup(std::uint32_t mark, std::int32_t value) {
    if (mark == 0) mark = 1;  // the sentinel is never freed
    while (temp_list.count > mark) {
        str_desc* d = temp_list.slots[--temp_list.count];
        if (d != dead_slot()) str_free(d);
    }
    return value;
}

std::uint32_t temp_mark() { return temp_list.count; }
