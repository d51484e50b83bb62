// Assignment of one string to another, reusing space wherever it can:
// fixed-length destinations are filled, temp results are taken over without
// a copy, and a growing destination stays where it is while the bytes after
// it are free.
#include <cstring>

#include "runtime/strings/data_segment.h"
#include "runtime/strings/descriptor_pool.h"
#include "runtime/strings/string_heap.h"
#include "runtime/strings/temp_list.h"

namespace {

// The area that owns a string's text, seen the same way for the heap and
// the data segment. Compaction may move the heap: take a fresh view after it.
struct text_area {
    string_list& list;
    std::uint8_t* base;
    std::size_t& used;  // offset where the next text goes
    std::size_t end;    // offset where the area's room ends
};

text_area area_of(const str_desc* d) {
    if (d->in_segment) return {segment_list, segment_base(), seg_used, seg_top};
    return {heap_list, heap_base, heap_used, heap_capacity};
}

void area_compact(const str_desc* d, std::size_t need) {
    if (d->in_segment)
        segment_compact(need);
    else
        heap_compact(need);
}

void copy_fixed(str_desc* dst, const str_desc* src) {
    if (src->len < dst->len) {
        std::memmove(dst->text, src->text, src->len);
        std::memset(dst->text + src->len, ' ', dst->len - src->len);
    } else {
        std::memmove(dst->text, src->text, dst->len);
    }
}

bool can_be_taken_over(const str_desc* src, const str_desc* dst) {
    // Literals, the commonest temps, are ruled out by the first test.
    return !src->is_readonly && src->is_temp && !src->is_fixed && src->in_segment == dst->in_segment;
}

// dst takes src's text and list slot; src's descriptor goes back to the pool.
void take_over(str_desc* dst, str_desc* src) {
    string_list& list = area_of(dst).list;
    if (string_list_holds(list, dst)) list.slots[dst->list_index] = dead_slot();
    list.slots[src->list_index] = dst;
    dst->list_index = src->list_index;
    if (src->temp_index != 0) temp_list_remove(src);
    dst->text = src->text;
    dst->len = src->len;
    descriptor_release(src);
}

// The first live entry after dst, not counting src when src is a temp (it is
// freed right after the copy); null when there is none.
str_desc* next_live_after(const string_list& list, const str_desc* dst, const str_desc* src) {
    for (std::uint32_t i = dst->list_index + 1; i < list.count; ++i) {
        str_desc* d = list.slots[i];
        if (d == dead_slot() || (d == src && src->is_temp)) continue;
        return d;
    }
    return nullptr;
}

// Moves dst's text to the end of its area, compacting the area first when
// src's text does not fit there.
void relocate(str_desc* dst, const str_desc* src) {
    const std::size_t len = static_cast<std::size_t>(src->len);
    area_of(dst).list.slots[dst->list_index] = dead_slot();
    if (len + area_of(dst).used > area_of(dst).end) area_compact(dst, len);
    text_area area = area_of(dst);
    string_list_append(area.list, dst);
    dst->text = area.base + area.used;
    dst->len = src->len;
    area.used += len;
    std::memmove(dst->text, src->text, len);  // src is read only after compaction
}

void grow(str_desc* dst, const str_desc* src) {
    text_area area = area_of(dst);
    std::uint8_t* const new_end = dst->text + src->len;
    if (dst->list_index != area.list.count - 1) {
        if (const str_desc* next = next_live_after(area.list, dst, src)) {
            if (new_end > next->text) return relocate(dst, src);
            std::memmove(dst->text, src->text, src->len);
            dst->len = src->len;
            return;
        }
    }
    // Nothing live follows dst: the dead entries after it (and a temp src,
    // whose bytes are read before they are overwritten) are cut off, and
    // dst becomes the newest string.
    if (new_end > area.base + area.end) return relocate(dst, src);
    area.list.count = dst->list_index + 1;
    std::memmove(dst->text, src->text, src->len);
    dst->len = src->len;
    area.used = new_end - area.base;
}

}  // namespace

str_desc* str_assign(str_desc* dst, str_desc* src) {
    if (src == dst) {
        segment_record_write(dst);
        return dst;
    }
    if (dst->is_fixed) {
        copy_fixed(dst, src);
    } else if (can_be_taken_over(src, dst)) {
        take_over(dst, src);
        segment_record_write(dst);
        return dst;
    } else if (src->len > dst->len) {
        grow(dst, src);
    } else {
        std::memmove(dst->text, src->text, src->len);
        dst->len = src->len;
    }
    if (src->is_temp) str_free(src);
    segment_record_write(dst);
    return dst;
}
