// The emulated 16-bit PC memory: one zeroed block addressed by linear
// address. The run-time keeps the BIOS keyboard buffer and tick, the string
// data segment and the text video memory in it, where PEEK and POKE see them.
#pragma once
#include <cstdint>
#include <cstddef>

// 1 MiB + 64 KiB - 13 bytes, as a real-mode segment:offset can reach.
inline constexpr std::size_t emulated_memory_size = 1114099;

// Linear addresses of the areas the run-time uses.
inline constexpr std::uint32_t bios_keyboard_flags_1 = 0x417;
inline constexpr std::uint32_t bios_keyboard_flags_2 = 0x418;
inline constexpr std::uint32_t bios_keyboard_head = 0x41A;
inline constexpr std::uint32_t bios_keyboard_tail = 0x41C;
inline constexpr std::uint32_t bios_keyboard_buffer = 0x41E;   // 16 slots of 2 bytes, to 0x43D
inline constexpr std::uint32_t bios_tick_count = 0x46C;        // 3 bytes, little-endian
inline constexpr std::uint32_t bios_keyboard_flags_3 = 0x496;
inline constexpr std::uint32_t data_segment_address = 0x500;   // 65,536 bytes of string data
inline constexpr std::uint32_t video_memory_address = 0xB8000; // 65,536 bytes of text pages
inline constexpr std::size_t data_segment_size = 65536;
inline constexpr std::size_t video_memory_size = 65536;

// The block itself; allocated (zeroed) by static initialisation and cleared
// again by start-up, so it exists before any other code runs. The areas that
// two threads share say how: the keyboard buffer (keyboard_buffer.h) and the
// text pages' cells (screen_image.h).
extern std::uint8_t* const emulated_memory;

inline std::uint8_t* emulated_address(std::uint32_t linear) { return emulated_memory + linear; }

// A byte as PEEK reads it: what the run-time computes only when it is read
// (the BIOS tick) is brought up to date first.
std::uint8_t emulated_peek(std::uint32_t linear);

// Zeroes the whole block (start-up, and tests that want a fresh machine)
// without touching the pages that are zero already.
void emulated_memory_clear();
