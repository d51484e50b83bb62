#include "runtime/strings/string_heap.h"

#include <cstring>

#include "runtime/strings/descriptor_pool.h"
#include "runtime/strings/grow_table.h"
#include "runtime/strings/temp_list.h"

namespace {

constexpr std::size_t initial_heap_bytes = 1048576;
constexpr std::uint32_t initial_heap_slots = 65536;

std::uint8_t initial_heap[initial_heap_bytes];
str_desc* initial_heap_list[initial_heap_slots];

std::uint8_t* text_end(const str_desc* d) { return d->text + d->len; }

}  // namespace

std::uint8_t* heap_base = initial_heap;
std::size_t heap_used = 0;
std::size_t heap_capacity = initial_heap_bytes;
string_list heap_list{initial_heap_list, 0, initial_heap_slots - 1, initial_heap_list, 510};

void heap_compact(std::size_t need) {
    std::uint8_t* cursor = heap_base;
    for (std::uint32_t i = 0; i < heap_list.count; ++i) {
        str_desc* d = heap_list.slots[i];
        if (d == dead_slot()) continue;
        if (d->text > cursor + heap_spare_bytes) {  // small gaps are not worth a move
            std::memmove(cursor, d->text, d->len);
            d->text = cursor;
        }
        cursor = text_end(d);
    }
    heap_used = cursor - heap_base;

    if (need + 2 * heap_used + heap_spare_bytes < heap_capacity) return;
    const std::size_t capacity = need + 2 * heap_capacity;
    void* grown = grow_table(heap_base, initial_heap, heap_used, capacity);
    if (!grown) strings_out_of_memory(512);
    std::uint8_t* old_base = heap_base;
    heap_base = static_cast<std::uint8_t*>(grown);
    heap_capacity = capacity;
    for (std::uint32_t i = 0; i < heap_list.count; ++i) {
        str_desc* d = heap_list.slots[i];
        if (d != dead_slot()) d->text = heap_base + (d->text - old_base);
    }
}

void heap_release(str_desc* d) {
    if (!string_list_holds(heap_list, d)) return;  // cut off by an assignment
    heap_list.slots[d->list_index] = dead_slot();
    while (heap_list.count != 0 && heap_list.slots[heap_list.count - 1] == dead_slot())
        --heap_list.count;
    if (heap_list.count == 0) {
        heap_used = 0;
        return;
    }
    const std::size_t end = text_end(heap_list.slots[heap_list.count - 1]) - heap_base;
    heap_used = end + heap_spare_bytes < heap_capacity ? end + heap_spare_bytes : heap_capacity;
}

str_desc* str_new(std::uint32_t size, std::int32_t make_temp) {
    // A length must fit the descriptor's signed 32-bit field.
    if (size > INT32_MAX) strings_out_of_memory(512);
    if (size + heap_used + heap_spare_bytes > heap_capacity) heap_compact(size + heap_spare_bytes);
    str_desc* d = descriptor_take();
    d->len = static_cast<std::int32_t>(size);
    d->text = heap_base + heap_used;
    heap_used += size + heap_spare_bytes;
    string_list_append(heap_list, d);
    if (make_temp) temp_list_add(d);
    return d;
}
