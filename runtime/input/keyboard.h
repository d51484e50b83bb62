// Key events and the keyboard stores.
#pragma once
#include <cstdint>

// freeglut callbacks (window thread).
void keyboard_callback(unsigned char key, int x, int y);
void keyboard_up_callback(unsigned char key, int x, int y);
void special_callback(int key, int x, int y);
void special_up_callback(int key, int x, int y);

void key_char_event(int key, int down);
void key_special_event(int key, int down);
void key_down(std::int32_t code);
void key_up(std::int32_t code);
// 1 when the code is held down.
std::int32_t key_is_down(std::int32_t code);
