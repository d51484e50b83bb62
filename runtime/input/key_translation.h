// The key translation table: what a key puts into the keyboard buffer
// under each modifier.
//
// Row k (0 to 255) is for character k, row 256 + s for the extended key with
// scan code s. A buffer word below 256 is a character (stored with the row's
// scan code); a word with bits 8 to 15 set is character 0 with scan code
// word / 256; 0 stores nothing.
#pragma once
#include <array>
#include <cstdint>

enum key_modifier_column : int {
    key_column_none = 0,
    key_column_shift = 1,
    key_column_ctrl = 2,
    key_column_alt = 3,
};

struct key_translation_row {
    std::int32_t character;        // lower-case letter for letters; s for extended rows
    std::int32_t scan_code;        // 0: the key has no buffer entry
    std::int32_t words[4];         // by key_modifier_column
    std::int32_t keypad_words[4];  // keypad variants (all 0)
};

inline constexpr int key_translation_rows = 512;
extern const std::array<key_translation_row, key_translation_rows> key_translation;

// The row for a character code (1 to 255) or an extended code (0x3B00 to 0x8600).
inline const key_translation_row& key_translation_row_of(std::int32_t code) {
    return key_translation[code < 256 ? code : 256 + ((code >> 8) & 0xFF)];
}
