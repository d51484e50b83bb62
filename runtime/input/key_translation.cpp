// The key translation table, built at compile time from the layout of the PC
// keyboard: which key each character sits on and what that key gives with
// Shift, Ctrl and Alt.
#include "runtime/input/key_translation.h"

namespace {

// A key that types a character without Shift and another with it.
struct two_character_key {
    char plain;
    char shifted;
    std::int32_t scan_code;
};

constexpr two_character_key digit_keys[] = {
    {'1', '!', 2}, {'2', '@', 3}, {'3', '#', 4}, {'4', '$', 5},  {'5', '%', 6},
    {'6', '^', 7}, {'7', '&', 8}, {'8', '*', 9}, {'9', '(', 10}, {'0', ')', 11},
};

constexpr two_character_key punctuation_keys[] = {
    {'-', '_', 12}, {'=', '+', 13}, {'[', '{', 26},  {']', '}', 27},  {';', ':', 39}, {'\'', '"', 40},
    {'`', '~', 41}, {'\\', '|', 43}, {',', '<', 51}, {'.', '>', 52}, {'/', '?', 53},
};

// The three letter rows and the scan code of each row's first key.
struct letter_row {
    const char* letters;
    std::int32_t first_scan_code;
};

constexpr letter_row letter_rows[] = {{"qwertyuiop", 16}, {"asdfghjkl", 30}, {"zxcvbnm", 44}};

// Extended keys with their own Ctrl and Alt codes (the six above the arrows and the arrows).
struct navigation_key {
    std::int32_t scan_code;
    std::int32_t ctrl;
    std::int32_t alt;
};

constexpr navigation_key navigation_keys[] = {
    {71, 0x7700, 0x9700}, {72, 0x8D00, 0x9800}, {73, 0x8400, 0x9900},  // Home, Up, Page Up
    {75, 0x7300, 0x9B00}, {77, 0x7400, 0x9D00},                        // Left, Right
    {79, 0x7500, 0x9F00}, {80, 0x9100, 0xA000}, {81, 0x7600, 0xA100},  // End, Down, Page Down
    {82, 0x9200, 0xA200}, {83, 0x9300, 0xA300},                        // Insert, Delete
};

constexpr void set_row(key_translation_row& row, std::int32_t character, std::int32_t scan_code,
                       std::int32_t none, std::int32_t shift, std::int32_t ctrl, std::int32_t alt) {
    row.character = character;
    row.scan_code = scan_code;
    row.words[key_column_none] = none;
    row.words[key_column_shift] = shift;
    row.words[key_column_ctrl] = ctrl;
    row.words[key_column_alt] = alt;
}

// Ctrl with a digit or punctuation key: mostly nothing, a few control codes.
constexpr std::int32_t ctrl_word_of_symbol(char c) {
    switch (c) {
        case '2': case '@': return 0x0300;
        case '6': case '^': return 30;
        case '[': case '{': return 27;
        case '\\': case '|': return 28;
        case ']': case '}': return 29;
        case '-': case '_': return 31;
        default: return 0;
    }
}

// Alt with a digit key: 0x7800 for 1 rising to 0x8000 for 9, then 0x8100 for 0.
constexpr std::int32_t alt_word_of_digit_key(char digit) {
    return digit == '0' ? 0x8100 : 0x7800 + (digit - '1') * 0x100;
}

constexpr std::int32_t alt_word_of_punctuation_key(const two_character_key& key) {
    if (key.plain == '-') return 0x8200;
    if (key.plain == '=') return 0x8300;
    return key.scan_code * 256;
}

constexpr void set_two_character_key(std::array<key_translation_row, key_translation_rows>& table,
                                     const two_character_key& key, std::int32_t alt) {
    for (char c : {key.plain, key.shifted}) {
        const auto code = static_cast<std::int32_t>(c);
        set_row(table[code], code, key.scan_code, code, code, ctrl_word_of_symbol(c), alt);
    }
}

constexpr std::array<key_translation_row, key_translation_rows> build_key_translation() {
    std::array<key_translation_row, key_translation_rows> table{};

    set_row(table[8], 8, 14, 8, 8, 127, 0x0E00);         // Backspace
    set_row(table[9], 9, 15, 9, 0x0F00, 0x9400, 0);      // Tab
    set_row(table[13], 13, 28, 13, 13, 10, 0);           // Enter
    set_row(table[27], 27, 1, 27, 27, 27, 0);            // Escape
    set_row(table[32], 32, 57, 32, 32, 32, 0);           // Space

    // Letters of either case: as typed, Ctrl gives 1 to 26, Alt the scan code.
    for (const letter_row& keys : letter_rows) {
        std::int32_t scan_code = keys.first_scan_code;
        for (const char* p = keys.letters; *p; ++p, ++scan_code) {
            const std::int32_t lower = *p;
            const std::int32_t upper = lower - 'a' + 'A';
            for (std::int32_t typed : {lower, upper})
                set_row(table[typed], lower, scan_code, typed, typed, lower - 'a' + 1, scan_code * 256);
        }
    }

    for (const two_character_key& key : digit_keys) set_two_character_key(table, key, alt_word_of_digit_key(key.plain));
    for (const two_character_key& key : punctuation_keys)
        set_two_character_key(table, key, alt_word_of_punctuation_key(key));

    // F1 to F10: each modifier has its own block of codes.
    for (std::int32_t s = 59; s <= 68; ++s) set_row(table[256 + s], s, s, s * 256, (s + 25) * 256, (s + 35) * 256, (s + 45) * 256);
    set_row(table[256 + 0x85], 0x85, 87, 0x8500, 0x8500, 0x8900, 0x8B00);   // F11
    set_row(table[256 + 0x86], 0x86, 88, 0x8600, 0x8600, 0x8A00, 0x8C00);   // F12

    for (const navigation_key& key : navigation_keys) {
        const std::int32_t s = key.scan_code;
        set_row(table[256 + s], s, s, s * 256, s * 256, key.ctrl, key.alt);
    }
    return table;
}

}  // namespace

constexpr std::array<key_translation_row, key_translation_rows> key_translation = build_key_translation();
