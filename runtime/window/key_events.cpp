// A key pressed or released: the keys that act on the run-time itself, then
// the key-hit queue, the keyboard buffer and the scan-code port.
#include "runtime/window/key_events.h"

#include <atomic>

#include "runtime/core/program_end.h"
#include "runtime/core/wake_signal.h"
#include "runtime/events/event_check.h"
#include "runtime/events/event_traps.h"
#include "runtime/input/held_keys.h"
#include "runtime/input/key_codes.h"
#include "runtime/input/key_hit_queue.h"
#include "runtime/input/key_translation.h"
#include "runtime/input/key_traps.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/input/scan_code_port.h"
#include "runtime/window/window_policy.h"

namespace {

bool either_held(std::int32_t left, std::int32_t right) { return held_keys_contains(left) || held_keys_contains(right); }
bool ctrl_held() { return either_held(key_left_ctrl, key_right_ctrl); }
bool alt_held() { return either_held(key_left_alt, key_right_alt); }
bool shift_held() { return either_held(key_left_shift, key_right_shift); }

// Alt over Ctrl over Shift over none.
key_modifier_column held_modifier_column() {
    if (alt_held()) return key_column_alt;
    if (ctrl_held()) return key_column_ctrl;
    if (shift_held()) return key_column_shift;
    return key_column_none;
}

std::uint8_t modifier_scan_code(std::int32_t code) {
    switch (code) {
        case key_left_shift: return 42;
        case key_right_shift: return 54;
        case key_left_ctrl:
        case key_right_ctrl: return 29;
        default: return 56;   // either Alt
    }
}

bool is_character(std::int32_t code) { return code >= 1 && code <= 255; }

// The key's make code for the port, 0 when it has none.
std::uint8_t make_code_of(std::int32_t code) {
    if (key_is_modifier(code)) return modifier_scan_code(code);
    if (is_character(code) || key_is_extended(code))
        return static_cast<std::uint8_t>(key_translation_row_of(code).scan_code);
    return 0;
}

// Keys whose press or release changes the flag bytes.
bool changes_keyboard_flags(std::int32_t code) { return code >= 100000 || code == key_insert; }

// Break, Pause, the key that ends a pause, and Alt+Enter act on the run-time
// and reach no store. True when the key was one of them.
bool key_acts_on_runtime(std::int32_t code) {
    if (code == key_break || (ctrl_held() && (code == key_scroll_lock || code == key_break_alternative))) {
        if (close_handled_by_program.load() != 0) close_request.fetch_or(2);
        else stop_requested.store(1);
        wake_signal_raise(screen_thread_wake);
        return true;
    }
    if (code == key_pause || (ctrl_held() && code == key_num_lock)) {
        pause_flag.fetch_or(1);
        pending_event.store(1);
        return true;
    }
    if (pause_flag.load() & 1) {
        pause_flag.fetch_and(static_cast<std::uint8_t>(~1u));
        wake_signal_raise(program_thread_wake);
        return true;
    }
    if (code == 13 && alt_held() && fullscreen_allowed_mode.load() >= 0) {
        fullscreen_alt_enter_cycle();
        return true;
    }
    return false;
}

// Stores a translation word: a character with the row's scan code, or
// character 0 with scan code word / 256; 0 stores nothing. False when the
// buffer was full.
bool store_word(std::int32_t word, std::int32_t row_scan_code) {
    if (word == 0) return true;
    if (word < 256) return keyboard_buffer_store(static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(row_scan_code));
    return keyboard_buffer_store(0, static_cast<std::uint8_t>(word >> 8));
}

void toggle_insert_state() {
    if (held_keys_contains(key_insert_state)) held_keys_remove(key_insert_state);
    else held_keys_add(key_insert_state);
}

void store_pressed_key(std::int32_t code, bool insert_was_held) {
    if (is_character(code)) {
        const key_translation_row& row = key_translation_row_of(code);
        if (row.scan_code == 0) {
            keyboard_buffer_store(static_cast<std::uint8_t>(code), 0);
            return;
        }
        scan_code_port_push(static_cast<std::uint8_t>(row.scan_code));
        store_word(row.words[held_modifier_column()], row.scan_code);
    } else if (key_is_extended(code)) {
        const key_translation_row& row = key_translation_row_of(code);
        if (row.words[key_column_none] == 0) {
            keyboard_buffer_store(0, static_cast<std::uint8_t>(code >> 8));
            return;
        }
        scan_code_port_push(static_cast<std::uint8_t>(row.scan_code));
        const key_modifier_column column = held_modifier_column();
        if (code == key_insert && column == key_column_none && !insert_was_held) toggle_insert_state();
        store_word(row.words[column], row.scan_code);
    } else if (key_is_modifier(code)) {
        scan_code_port_push(modifier_scan_code(code));
    }
}

}  // namespace

void key_down(std::int32_t code) {
    if (code == 0) code = key_code_zero;
    const bool insert_was_held = code == key_insert && held_keys_contains(key_insert);
    held_keys_add(code);
    if (key_acts_on_runtime(code)) {
        key_activity.store(1);
        return;
    }
    if (key_trap_press(code)) return;
    key_hit_queue_push(code);
    store_pressed_key(code, insert_was_held);
    if (changes_keyboard_flags(code)) keyboard_flags_update();
    key_activity.store(1);
}

void key_up(std::int32_t code) {
    if (code == 0) code = key_code_zero;
    held_keys_remove(code);
    if (key_trap_release(code)) return;
    key_hit_queue_push(-code);
    if (const std::uint8_t make_code = make_code_of(code)) scan_code_port_push(static_cast<std::uint8_t>(make_code + 128));
    if (changes_keyboard_flags(code)) keyboard_flags_update();
}

bool key_type_pasted(std::uint8_t character) {
    const key_translation_row& row = key_translation_row_of(character);
    const bool stored = row.scan_code == 0 ? keyboard_buffer_store(character, 0)
                                           : store_word(row.words[key_column_none], row.scan_code);
    if (stored) key_activity.store(1);
    return stored;
}

void key_release_held_modifiers() {
    for (std::int32_t code = key_right_shift; code <= key_last_released_on_leave; ++code)
        if (held_keys_contains(code)) key_up(code);
}
