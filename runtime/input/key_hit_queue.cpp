#include "runtime/input/key_hit_queue.h"

#include <atomic>

#include "runtime/core/wake_signal.h"
#include "runtime/input/key_codes.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/short_lock.h"

namespace {

constexpr std::uint32_t index_mask = key_hit_queue_size - 1;
constexpr std::uint64_t keypad_bit = std::uint64_t{1} << 32;

// A ring with one writer, the window thread (entries, write_index), and one
// reader, the program thread (read_index, which the writer also moves when full).
std::uint64_t entries[key_hit_queue_size];
std::atomic<std::uint32_t> write_index{0};
std::atomic<std::uint32_t> read_index{0};
// Held by the reader for its whole read and by the writer while it drops the
// oldest entry, so that a reader never returns an entry being overwritten.
std::atomic_flag read_lock = ATOMIC_FLAG_INIT;

}  // namespace

void key_hit_queue_push(std::int32_t signed_code) {
    const std::uint32_t w = write_index.load(std::memory_order_relaxed);
    const std::uint32_t next = (w + 1) & index_mask;
    if (next == read_index.load(std::memory_order_acquire)) {
        short_lock_take(read_lock);
        const std::uint32_t r = read_index.load(std::memory_order_relaxed);
        if (next == r) read_index.store((r + 1) & index_mask, std::memory_order_relaxed);
        short_lock_release(read_lock);
    }
    const std::int32_t code = signed_code < 0 ? -signed_code : signed_code;
    entries[w] = static_cast<std::uint32_t>(signed_code) | (key_is_keypad(code) ? keypad_bit : 0);
    write_index.store(next, std::memory_order_release);
    wake_signal_raise(program_thread_wake);
}

// The reader empties the queue by catching up with the writer: the write
// index belongs to the window thread, which may be pushing at this moment.
// The reader publishes its index with release, so that the writer reuses a
// slot only after the reader is done with it.
void key_hit_queue_clear() {
    short_lock_take(read_lock);
    read_index.store(write_index.load(std::memory_order_acquire), std::memory_order_release);
    short_lock_release(read_lock);
}

std::int32_t key_hit() {
    short_lock_take(read_lock);
    const std::uint32_t r = read_index.load(std::memory_order_relaxed);
    std::int32_t code = 0;
    if (r != write_index.load(std::memory_order_acquire)) {
        code = static_cast<std::int32_t>(static_cast<std::uint32_t>(entries[r]));
        read_index.store((r + 1) & index_mask, std::memory_order_release);
    }
    short_lock_release(read_lock);
    return code;
}
