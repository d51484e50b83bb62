// The key-hit queue: presses (the key code) and releases (its negation) in
// the order they happened, read by _KEYHIT. The window thread writes, the
// program thread reads; when the ring is full the oldest entry is dropped.
// An entry wakes the program thread.
#pragma once
#include <cstdint>

inline constexpr std::uint32_t key_hit_queue_size = 8192;

// Appends a press (code) or release (-code); bit 32 marks keypad keys.
void key_hit_queue_push(std::int32_t signed_code);
// Empties the queue.
void key_hit_queue_clear();
