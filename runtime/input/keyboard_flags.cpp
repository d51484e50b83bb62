// The PC keyboard flag bytes, recomputed from the keys held down.
#include "runtime/core/emulated_memory.h"
#include "runtime/input/held_keys.h"
#include "runtime/input/key_codes.h"

namespace {

constexpr std::uint32_t flag_addresses[] = {bios_keyboard_flags_1, bios_keyboard_flags_2, bios_keyboard_flags_3};

struct flag_bit {
    int byte;   // index into flag_addresses
    std::uint8_t bit;
    std::int32_t code;
    std::int32_t other_code;   // a second key that sets the same bit, or 0
};

constexpr flag_bit flag_bits[] = {
    {0, 0, key_right_shift, 0},
    {0, 1, key_left_shift, 0},
    {0, 2, key_left_ctrl, key_right_ctrl},
    {0, 3, key_left_alt, key_right_alt},
    {0, 4, key_scroll_lock_state, 0},
    {0, 5, key_num_lock, 0},
    {0, 6, key_caps_lock, 0},
    {0, 7, key_insert_state, 0},
    {1, 0, key_left_ctrl, 0},
    {1, 1, key_left_alt, 0},
    {1, 2, key_sys_req, 0},
    {1, 3, key_pause, 0},
    {1, 4, key_scroll_lock, 0},
    {1, 7, key_insert, 0},
    {2, 0, key_right_ctrl, 0},
    {2, 1, key_right_alt, 0},
};

constexpr std::uint8_t flags_3_always_set = 1u << 4;

}  // namespace

void keyboard_flags_update() {
    std::uint8_t flags[] = {0, 0, flags_3_always_set};
    for (const flag_bit& f : flag_bits)
        if (held_keys_contains(f.code) || (f.other_code && held_keys_contains(f.other_code)))
            flags[f.byte] = static_cast<std::uint8_t>(flags[f.byte] | 1u << f.bit);
    for (int i = 0; i < 3; ++i) *emulated_address(flag_addresses[i]) = flags[i];
}
