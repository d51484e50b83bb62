// Key events and the keyboard stores.
//
// The freeglut callbacks (window thread) turn each press and release into a
// key code (runtime/input/key_codes.h) and feed the held-keys list, the
// key-hit queue, the keyboard buffer and the scan-code port. The program
// thread reads them through inkey, key_hit, key_is_down and key_clear.
#pragma once
#include <cstdint>

struct str_desc;

// freeglut callbacks (window thread).
void keyboard_callback(unsigned char key, int x, int y);
void keyboard_up_callback(unsigned char key, int x, int y);
void special_callback(int key, int x, int y);
void special_up_callback(int key, int x, int y);

// A character key from freeglut; modifiers as glutGetModifiers reports them
// (GLUT_ACTIVE_SHIFT, GLUT_ACTIVE_CTRL, GLUT_ACTIVE_ALT), read by the callback.
void key_char_event(int key, int down, int modifiers);
// A special key from freeglut (GLUT_KEY_...); keys without a code are ignored.
void key_special_event(int key, int down);
void key_down(std::int32_t code);
void key_up(std::int32_t code);

// A key of pasted text (a code page 437 character, 13 for Enter) into the
// keyboard buffer as typing it without modifiers stores it; false when the
// buffer is full.
bool key_type_pasted(std::uint8_t character);

// Releases every held modifier and lock key (codes 100303 to 100313); the
// window's event hook calls it when the pointer leaves the window.
void key_release_held_modifiers();

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
