// Key events of the window thread: a key code pressed or released goes to
// the keyboard stores, or acts on the run-time itself (break, pause,
// Alt+Enter).
#pragma once
#include <cstdint>

void key_down(std::int32_t code);
void key_up(std::int32_t code);

// A key of pasted text (a code page 437 character, 13 for Enter) into the
// keyboard buffer as typing it without modifiers stores it; false when the
// buffer is full.
bool key_type_pasted(std::uint8_t character);

// Releases every held modifier and lock key (codes 100303 to 100313); the
// window's event hook calls it when the pointer leaves the window.
void key_release_held_modifiers();
