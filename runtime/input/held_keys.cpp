#include "runtime/input/held_keys.h"

#include <cstdlib>

#include "runtime/input/key_codes.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/short_lock.h"

namespace {

// The window thread changes the held codes, the program thread asks; all under held_keys_lock.
std::atomic_flag held_keys_lock = ATOMIC_FLAG_INIT;
std::int32_t* held_codes = nullptr;
std::int32_t held_count = 0;
std::int32_t held_capacity = 0;

std::int32_t find_held(std::int32_t code) {
    for (std::int32_t i = 0; i < held_count; ++i)
        if (held_codes[i] == code) return i;
    return -1;
}

}  // namespace

void held_keys_add(std::int32_t code) {
    short_lock_take(held_keys_lock);
    if (find_held(code) < 0) {
        if (held_count == held_capacity) {   // grows one entry at a time
            auto* grown = static_cast<std::int32_t*>(std::realloc(held_codes, (held_capacity + 1) * sizeof *held_codes));
            if (grown) {
                held_codes = grown;
                ++held_capacity;
            }
        }
        if (held_count < held_capacity) held_codes[held_count++] = code;
    }
    short_lock_release(held_keys_lock);
}

void held_keys_remove(std::int32_t code) {
    short_lock_take(held_keys_lock);
    const std::int32_t at = find_held(code);
    if (at >= 0) {
        for (std::int32_t i = at + 1; i < held_count; ++i) held_codes[i - 1] = held_codes[i];
        --held_count;
    }
    short_lock_release(held_keys_lock);
}

bool held_keys_contains(std::int32_t code) {
    short_lock_take(held_keys_lock);
    const bool held = find_held(code) >= 0;
    short_lock_release(held_keys_lock);
    return held;
}

void held_keys_clear() {
    short_lock_take(held_keys_lock);
    held_count = 0;
    short_lock_release(held_keys_lock);
}

namespace {

// The keypad key that stands for the same character or extended key, or 0.
std::int32_t keypad_twin(std::int32_t code) {
    if (code >= '0' && code <= '9') return key_keypad_first + (code - '0');
    switch (code) {
        case '.': return key_keypad_first + 10;
        case '/': return key_keypad_first + 11;
        case '*': return key_keypad_first + 12;
        case '-': return key_keypad_first + 13;
        case '+': return key_keypad_first + 14;
        case 13: return key_keypad_first + 15;   // keypad Enter
        default: break;
    }
    // Home, Up, Page Up, Left, centre, Right, End, Down, Page Down, Insert, Delete.
    static constexpr std::int32_t navigation_scan_codes[] = {0x47, 0x48, 0x49, 0x4B, 0x4C, 0x4D,
                                                             0x4F, 0x50, 0x51, 0x52, 0x53};
    if ((code & 0xFF) == 0 && code >= key_home && code <= key_delete) {
        for (std::int32_t i = 0; i < 11; ++i)
            if (navigation_scan_codes[i] == code >> 8) return key_keypad_navigation_first + i;
    }
    return 0;
}

}  // namespace

std::int32_t key_is_down(std::int32_t code) {
    if (held_keys_contains(code)) return 1;
    const std::int32_t twin = keypad_twin(code);
    return twin != 0 && held_keys_contains(twin) ? 1 : 0;
}
