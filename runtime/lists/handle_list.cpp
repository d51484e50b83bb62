#include "runtime/lists/handle_list.h"

#include <cstdlib>
#include <cstring>

#include "runtime/core/threads.h"
#include "runtime/errors/errors.h"

handle_list* special_handles = nullptr;
handle_list* network_lists[2] = {nullptr, nullptr};

namespace {

// The index word follows the record, aligned so that it can be read and
// written atomically.
std::int64_t record_bytes(const handle_list* list) { return list->stride - 8; }

std::atomic_ref<std::int64_t> index_word(const handle_list* list, const void* record) {
    auto* word = reinterpret_cast<std::int64_t*>(static_cast<std::uint8_t*>(const_cast<void*>(record)) +
                                                 record_bytes(list));
    return std::atomic_ref<std::int64_t>(*word);
}

void lock(pthread_mutex_t* mutex) {
    if (mutex) mutex_lock(mutex);
}

void unlock(pthread_mutex_t* mutex) {
    if (mutex) mutex_unlock(mutex);
}

std::int64_t grown(std::int64_t capacity) { return 2 * capacity + 1; }

// Tables grow to 2 * capacity + 1 entries (allocated with one more). The
// table they replace stays allocated until the next growth, for readers that
// took its address without a lock.
template <typename T>
bool grow_table(T*& table, std::int64_t& capacity, T*& previous, std::int64_t used) {
    const std::int64_t new_capacity = grown(capacity);
    T* bigger = static_cast<T*>(std::calloc(static_cast<std::size_t>(new_capacity + 1), sizeof(T)));
    if (!bigger) return false;
    if (table) std::memcpy(bigger, table, static_cast<std::size_t>(used + 1) * sizeof(T));
    std::free(previous);
    previous = table;
    table = bigger;
    capacity = new_capacity;
    return true;
}

bool grow_index_table(handle_list* list) {
    std::uint8_t** table = list->index_table.load();
    const bool grew = grow_table(table, list->index_capacity, list->previous_index_table, list->highest_index.load());
    list->index_table.store(table);
    return grew;
}

bool start_new_block(handle_list* list) {
    const std::int64_t capacity = grown(list->block_capacity);
    if (list->block_count == 63) return false;
    auto* block = static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(capacity + 1),
                                                         static_cast<std::size_t>(list->stride)));
    if (!block) return false;
    list->blocks[list->block_count++] = block;
    list->current_block = block;
    list->block_capacity = capacity;
    list->block_used = 0;
    return true;
}

handle_list* make_list(std::int64_t element_size) {
    auto* list = static_cast<handle_list*>(std::calloc(1, sizeof(handle_list)));
    if (!list) return nullptr;
    if (element_size < 0) element_size = 0;
    list->element_size = element_size;
    list->stride = (element_size + 7) / 8 * 8 + 8;
    return list;
}

std::int64_t reuse_released_index(handle_list* list) {
    lock(list->free_lock);
    std::int64_t index = 0;
    if (list->free_count > 0) {
        index = list->free_stack[list->free_count--];
        std::uint8_t* record = list->index_table.load()[index];
        std::memset(record, 0, static_cast<std::size_t>(record_bytes(list)));
        index_word(list, record).store(index);
    }
    unlock(list->free_lock);
    return index;
}

std::int64_t add_new_record(handle_list* list) {
    if (list->block_used == list->block_capacity && !start_new_block(list)) {
        alert_box("list_add: failed to allocate new buffer, structure size: %lld",
                  static_cast<long long>(list->stride));
        return 0;
    }
    const std::int64_t index = list->highest_index.load() + 1;
    if (index > list->index_capacity && !grow_index_table(list)) {
        alert_box("list_add: failed to allocate new buffer, structure size: %lld",
                  static_cast<long long>(list->stride));
        return 0;
    }
    std::uint8_t* record = list->current_block + ++list->block_used * list->stride;
    index_word(list, record).store(index);
    list->index_table.load()[index] = record;
    list->highest_index.store(index);   // publishes the table entry to lock-free readers
    return index;
}

}  // namespace

handle_list* list_new(std::int64_t element_size) { return make_list(element_size); }

handle_list* list_new_locked(std::int64_t element_size) {
    handle_list* list = make_list(element_size);
    if (list) {
        list->add_lock = mutex_new();
        list->free_lock = mutex_new();
    }
    return list;
}

std::int64_t list_add(handle_list* list) {
    lock(list->add_lock);
    std::int64_t index = reuse_released_index(list);
    if (index == 0) index = add_new_record(list);
    unlock(list->add_lock);
    return index;
}

std::int64_t list_remove(handle_list* list, std::int64_t index) {
    lock(list->free_lock);
    std::int64_t result = 0;
    if (index >= 1 && index <= list->highest_index.load()) {
        std::uint8_t* record = list->index_table.load()[index];
        if (index_word(list, record).load() != 0) {
            // Without room on the free stack the index is released but never reused.
            if (list->free_count < list->free_capacity ||
                grow_table(list->free_stack, list->free_capacity, list->previous_free_stack, list->free_count))
                list->free_stack[++list->free_count] = index;
            index_word(list, record).store(0);
            result = -1;
        }
    }
    unlock(list->free_lock);
    return result;
}

void* list_get(handle_list* list, std::int64_t index) {
    if (index < 1 || index > list->highest_index.load()) return nullptr;
    std::uint8_t* record = list->index_table.load()[index];
    if (index_word(list, record).load() == 0) return nullptr;
    return record;
}

std::int64_t list_index_of(handle_list* list, const void* record) { return index_word(list, record).load(); }
