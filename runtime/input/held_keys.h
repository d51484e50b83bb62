// The list of keys held down, in the order pressed, without duplicates.
// The window thread changes it while the program thread asks about it: a
// short lock covers every change and every query.
#pragma once
#include <cstdint>

// Adds the code unless it is already held.
void held_keys_add(std::int32_t code);
// Removes the code if it is held.
void held_keys_remove(std::int32_t code);
// 1 when exactly this code is held.
bool held_keys_contains(std::int32_t code);
// Empties the list (tests and a fresh start).
void held_keys_clear();

// Recomputes the BIOS keyboard flag bytes 0x417, 0x418 and 0x496 from the list.
void keyboard_flags_update();
