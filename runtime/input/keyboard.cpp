// Placeholder until the keyboard lands.
#include "runtime/input/keyboard.h"

void keyboard_callback(unsigned char, int, int) {}
void keyboard_up_callback(unsigned char, int, int) {}
void special_callback(int, int, int) {}
void special_up_callback(int, int, int) {}
void key_char_event(int, int) {}
void key_special_event(int, int) {}
void key_down(std::int32_t) {}
void key_up(std::int32_t) {}
std::int32_t key_is_down(std::int32_t) { return 0; }
