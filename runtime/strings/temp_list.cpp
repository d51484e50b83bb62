#include "runtime/strings/temp_list.h"

#include "runtime/strings/grow_table.h"
#include "runtime/strings/string_list.h"

namespace {

constexpr std::uint32_t initial_temp_slots = 65536;

str_desc* initial_temp_list[initial_temp_slots];
str_desc** temp_slots = initial_temp_list;
std::uint32_t temp_count = 1;  // slot 0 is the sentinel
std::uint32_t temp_capacity = initial_temp_slots - 1;

void temp_list_grow() {
    if (temp_capacity > UINT32_MAX / 2 - 1) strings_out_of_memory(511);
    const std::uint32_t capacity = 2 * temp_capacity;
    void* grown = grow_table(temp_slots, initial_temp_list,
                             (std::size_t{temp_capacity} + 1) * sizeof(str_desc*),
                             (std::size_t{capacity} + 1) * sizeof(str_desc*));
    if (!grown) strings_out_of_memory(511);
    temp_slots = static_cast<str_desc**>(grown);
    temp_capacity = capacity;
}

}  // namespace

void temp_list_add(str_desc* d) {
    if (temp_count > temp_capacity) temp_list_grow();
    d->is_temp = 1;
    d->temp_index = temp_count;
    temp_slots[temp_count++] = d;
}

void temp_list_remove(str_desc* d) {
    temp_slots[d->temp_index] = dead_slot();
    d->temp_index = 0;
    while (temp_slots[temp_count - 1] == dead_slot()) --temp_count;
}

void str_make_temp(str_desc* d) {
    if (d->temp_index == 0) temp_list_add(d);
}

std::int32_t temp_cleanup(std::uint32_t mark, std::int32_t value) {
    if (mark == 0) mark = 1;  // the sentinel is never freed
    while (temp_count > mark) {
        str_desc* d = temp_slots[--temp_count];
        if (d != dead_slot()) str_free(d);
    }
    return value;
}

std::uint32_t temp_mark() { return temp_count; }
