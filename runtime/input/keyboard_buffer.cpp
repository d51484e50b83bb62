#include "runtime/input/keyboard_buffer.h"

#include <atomic>

#include "runtime/core/emulated_memory.h"
#include "runtime/core/wake_signal.h"

std::atomic<std::uint32_t> keyboard_buffer_stored{0};
std::atomic<std::uint32_t> keyboard_buffer_taken{0};
std::atomic<std::int32_t> paste_in_progress{0};

namespace {

std::atomic_ref<std::uint8_t> head_byte() { return std::atomic_ref<std::uint8_t>(*emulated_address(bios_keyboard_head)); }
std::atomic_ref<std::uint8_t> tail_byte() { return std::atomic_ref<std::uint8_t>(*emulated_address(bios_keyboard_tail)); }

std::uint8_t next_offset(std::uint8_t offset) {
    const auto next = static_cast<std::uint8_t>(offset + 2);
    return next >= keyboard_buffer_end_offset ? keyboard_buffer_first_offset : next;
}

// Room was made: a paste waiting for it goes on. (The fence pairs with the
// window thread's, which sets the flag before it tries to store again.)
void room_made() {
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (paste_in_progress.load() == 1) wake_signal_raise(window_thread_wake);
}

}  // namespace

bool keyboard_buffer_store(std::uint8_t character, std::uint8_t scan_code) {
    const std::uint8_t tail = tail_byte().load(std::memory_order_relaxed);
    const std::uint8_t new_tail = next_offset(tail);
    if (new_tail == head_byte().load(std::memory_order_acquire)) return false;
    *emulated_address(0x400u + tail) = character;
    *emulated_address(0x401u + tail) = scan_code;
    keyboard_buffer_stored.fetch_add(1);
    tail_byte().store(new_tail, std::memory_order_release);
    wake_signal_raise(program_thread_wake);
    return true;
}

bool keyboard_buffer_take(std::uint8_t& character, std::uint8_t& scan_code) {
    const std::uint8_t head = head_byte().load(std::memory_order_relaxed);
    if (head == tail_byte().load(std::memory_order_acquire)) return false;
    character = *emulated_address(0x400u + head);
    scan_code = *emulated_address(0x401u + head);
    keyboard_buffer_taken.fetch_add(1);
    head_byte().store(next_offset(head), std::memory_order_release);
    room_made();
    return true;
}

void keyboard_buffer_startup() {
    for (const std::uint32_t word : {bios_keyboard_head, bios_keyboard_tail}) {
        *emulated_address(word) = keyboard_buffer_first_offset;
        *emulated_address(word + 1) = 0;
    }
}

// The reader empties the buffer by catching up with the writer: the tail
// belongs to the window thread, which may be storing at this moment (setting
// it here could let such a store publish the old tail again, bringing back
// the keys before it).
void keyboard_buffer_clear() {
    const std::uint8_t tail = tail_byte().load(std::memory_order_acquire);
    const std::uint8_t head = head_byte().load(std::memory_order_relaxed);
    constexpr int ring_bytes = keyboard_buffer_end_offset - keyboard_buffer_first_offset;
    keyboard_buffer_taken.fetch_add(static_cast<std::uint32_t>((tail - head + ring_bytes) % ring_bytes / 2));
    head_byte().store(tail, std::memory_order_release);
    *emulated_address(bios_keyboard_head + 1) = 0;
    *emulated_address(bios_keyboard_tail + 1) = 0;
    room_made();
}

void paste_drop() {
    std::int32_t waiting = 1;
    if (paste_in_progress.compare_exchange_strong(waiting, 2)) wake_signal_raise(window_thread_wake);
}
