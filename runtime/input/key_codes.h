// Key codes: 1 to 255 for characters, scan code x 256 for extended keys,
// 100,000 and up for keys that have no PC code.
#pragma once
#include <cstdint>

// Extended keys (scan code x 256).
inline constexpr std::int32_t key_f1 = 0x3B00;   // F1 to F10 follow in steps of 0x100
inline constexpr std::int32_t key_f10 = 0x4400;
inline constexpr std::int32_t key_f11 = 0x8500;
inline constexpr std::int32_t key_f12 = 0x8600;
inline constexpr std::int32_t key_home = 0x4700;
inline constexpr std::int32_t key_arrow_up = 0x4800;
inline constexpr std::int32_t key_page_up = 0x4900;
inline constexpr std::int32_t key_arrow_left = 0x4B00;
inline constexpr std::int32_t key_arrow_right = 0x4D00;
inline constexpr std::int32_t key_end = 0x4F00;
inline constexpr std::int32_t key_arrow_down = 0x5000;
inline constexpr std::int32_t key_page_down = 0x5100;
inline constexpr std::int32_t key_insert = 0x5200;
inline constexpr std::int32_t key_delete = 0x5300;

// Keys without a PC code.
inline constexpr std::int32_t key_pause = 100019;
inline constexpr std::int32_t key_keypad_first = 100256;   // keypad keys 100256 to 100271
inline constexpr std::int32_t key_keypad_last = 100271;
inline constexpr std::int32_t key_break_alternative = 100296;   // breaks while Ctrl is held
inline constexpr std::int32_t key_num_lock = 100300;
inline constexpr std::int32_t key_caps_lock = 100301;
inline constexpr std::int32_t key_scroll_lock = 100302;
inline constexpr std::int32_t key_right_shift = 100303;
inline constexpr std::int32_t key_left_shift = 100304;
inline constexpr std::int32_t key_right_ctrl = 100305;
inline constexpr std::int32_t key_left_ctrl = 100306;
inline constexpr std::int32_t key_right_alt = 100307;
inline constexpr std::int32_t key_left_alt = 100308;
inline constexpr std::int32_t key_last_released_on_leave = 100313;   // modifier and lock keys up to here
inline constexpr std::int32_t key_sys_req = 100317;
inline constexpr std::int32_t key_break = 100318;
inline constexpr std::int32_t key_keypad_navigation_first = 200000;   // keypad Home ... Delete, 200000 to 200010
inline constexpr std::int32_t key_keypad_navigation_last = 200010;

// Pseudo-keys kept in the held-keys list.
inline constexpr std::int32_t key_scroll_lock_state = 200011;
inline constexpr std::int32_t key_insert_state = 200012;
inline constexpr std::int32_t key_code_zero = 200013;   // stands for code 0

inline constexpr bool key_is_extended(std::int32_t code) { return code >= key_f1 && code <= key_f12; }

inline constexpr bool key_is_modifier(std::int32_t code) {
    return code >= key_right_shift && code <= key_left_alt;
}

inline constexpr bool key_is_keypad(std::int32_t code) {
    return (code >= key_keypad_first && code <= key_keypad_last) ||
           (code >= key_keypad_navigation_first && code <= key_keypad_navigation_last);
}
