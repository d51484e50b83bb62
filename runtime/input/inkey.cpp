// INKEY$: the next key of the keyboard buffer as a string.
#include "runtime/errors/errors.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/strings/str_desc.h"

str_desc* inkey() {
    std::uint8_t character = 0, scan_code = 0;
    if (pending_error.load() != 0 || !keyboard_buffer_take(character, scan_code)) return str_new(0, 1);
    // A character; CHR$(0) + CHR$(scan) for an extended key; CHR$(0) when both are 0.
    const bool extended = character == 0 && scan_code != 0;
    str_desc* key = str_new(extended ? 2 : 1, 1);
    key->text[0] = character;
    if (extended) key->text[1] = scan_code;
    return key;
}
