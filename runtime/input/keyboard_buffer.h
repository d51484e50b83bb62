// The PC-style keyboard buffer in the emulated BIOS data area: a ring of 16
// (character, scan code) slots at 0x41E, with head and tail bytes at 0x41A
// and 0x41C holding offsets from 0x400 (30 to 60). One slot always stays
// empty, so it holds at most 15 keys. The window thread stores, the program
// thread takes; each side publishes its index after touching the slot. A
// stored key wakes the program thread.
#pragma once
#include <atomic>
#include <cstdint>

inline constexpr std::uint8_t keyboard_buffer_first_offset = 30;
inline constexpr std::uint8_t keyboard_buffer_end_offset = 62;   // one past the last slot

// Keys stored since start, and keys taken (or cleared away): the key that
// taking gives next is number keyboard_buffer_taken + 1. The window thread
// counts the stored, the program thread the taken; each reads both.
extern std::atomic<std::uint32_t> keyboard_buffer_stored;
extern std::atomic<std::uint32_t> keyboard_buffer_taken;

// A paste that the window thread types in: 1 while keys of it wait for room
// (taking or clearing keys then wakes the window thread), 2 once END has
// asked for it to be dropped (program thread, compare-exchange), 0 none.
extern std::atomic<std::int32_t> paste_in_progress;
// END: a paste still being typed in is dropped.
void paste_drop();

// Stores a pair; a full buffer drops it silently. Returns false when dropped.
bool keyboard_buffer_store(std::uint8_t character, std::uint8_t scan_code);
// Takes the pair at the head; false when the buffer is empty.
bool keyboard_buffer_take(std::uint8_t& character, std::uint8_t& scan_code);
// Start-up: head = tail = 30, the buffer empty (before any thread stores).
void keyboard_buffer_startup();
// Empties the buffer: the head catches up with the tail; the high bytes of
// both words become 0.
void keyboard_buffer_clear();
