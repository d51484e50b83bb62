// The program thread's side of the keyboard stores.
//
// The window thread's key events (runtime/window/key_events.h) turn each
// press and release into a key code (runtime/input/key_codes.h) and feed the
// held-keys list, the key-hit queue, the keyboard buffer and the scan-code
// port. The program thread reads them through inkey, key_hit, key_is_down
// and key_clear.
#pragma once
#include <cstdint>

struct str_desc;

// INKEY$: a new temp string of the next key in the keyboard buffer
// ("" when empty or while an error is pending).
str_desc* inkey();
// _KEYHIT: the next key-hit queue entry (code on press, -code on release), or 0.
std::int32_t key_hit();
// 1 when the code is held down (characters and extended keys also answer
// for their keypad twins).
std::int32_t key_is_down(std::int32_t code);
// Empties a store: which 1 the keyboard buffer, 2 the key-hit queue, 3 the
// scan-code port; without the argument (present 0) all three. Any other
// number is error 5 and nothing is emptied.
void key_clear(std::int32_t which, std::int32_t present);
