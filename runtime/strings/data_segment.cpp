#include "runtime/strings/data_segment.h"

#include <cstring>

#include "runtime/strings/descriptor_pool.h"
#include "runtime/strings/grow_table.h"
#include "runtime/strings/temp_list.h"

namespace {
constexpr std::uint32_t initial_segment_slots = 65536;
str_desc* initial_segment_list[initial_segment_slots];
}  // namespace

std::size_t seg_used = segment_text_start;
std::size_t seg_top = data_segment_size;
string_list segment_list{initial_segment_list, 0, initial_segment_slots - 1, initial_segment_list, 509};

void segment_record_new(str_desc* d, std::int32_t overlap_error) {
    if (seg_top < seg_used + 4) strings_out_of_memory(overlap_error);
    seg_top -= 4;
    d->seg_record = segment_base() + seg_top;
    d->seg_record_offset = static_cast<std::uint16_t>(seg_top);
    segment_record_write(d);
}

void segment_compact(std::size_t need) {
    std::uint8_t* cursor = segment_base() + segment_text_start;
    for (std::uint32_t i = 0; i < segment_list.count; ++i) {
        str_desc* d = segment_list.slots[i];
        if (d == dead_slot()) continue;
        if (d->text != cursor) {
            std::memmove(cursor, d->text, d->len);
            d->text = cursor;
            segment_record_write(d);
        }
        cursor += d->len;
    }
    seg_used = cursor - segment_base();
    if (seg_used + need > seg_top) strings_out_of_memory(513);
}

void segment_release(str_desc* d) {
    if (!string_list_holds(segment_list, d)) return;  // cut off by an assignment
    segment_list.slots[d->list_index] = dead_slot();
    if (d->list_index == segment_list.count - 1) --segment_list.count;
}

str_desc* str_new_in_segment(std::uint32_t size, std::int32_t make_temp) {
    if (seg_used + size > seg_top) segment_compact(size);
    str_desc* d = descriptor_take();
    d->len = static_cast<std::int32_t>(size);
    d->text = segment_base() + seg_used;
    d->in_segment = 1;
    seg_used += size;
    string_list_append(segment_list, d);
    if (make_temp)
        temp_list_add(d);
    else
        segment_record_new(d, 514);
    return d;
}
