// The INPUT line editor fed an arbitrary key sequence: the bytes after the
// first (at most 14: the keyboard buffer holds them all, so that no thread is
// needed to feed them; Tabs make lines of up to 112 characters), then Enter.
// The first byte picks the form. Properties: LINE INPUT's string holds
// exactly what the keys make of the line (characters appended, Backspace
// takes back, Tab pads to the next multiple of 8, keys 7, 10 to 12 and 28 to
// 31 change nothing); with a string and a numeric target the string holds no
// more than was typed (a Tab as 8); the cursor stays on the page.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "runtime/core/sleep.h"
#include "runtime/fonts/fonts.h"
#include "runtime/fonts/palettes.h"
#include "runtime/input/input_line.h"
#include "runtime/input/input_targets.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/render/software_frame.h"
#include "runtime/screen/render_pause.h"
#include "runtime/screen/screen_image.h"
#include "runtime/strings/str_desc.h"

namespace {

constexpr std::uint32_t numeric_types[] = {16, 8 | input_type_unsigned, 64, 32 | input_type_float,
                                           64 | input_type_float};
str_desc* text_target = nullptr;
alignas(16) std::uint8_t numeric_target[16];

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    strings_startup();
    fonts_install();
    palettes_install();
    next_text_columns = 80;
    next_text_rows = 25;
    next_text_font = 16;
    screen_set_mode(0, 0, 0, 0, 0, 1);
    keyboard_buffer_startup();
    screen_shown = 1;
    manual_clock_start(0, 0);   // the bell's wait passes at once
    text_target = str_new(0, 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 15) return 0;
    const bool line_input = data[0] & 1;
    input_target_set(1, input_type_string | (line_input ? input_type_line_input : 0), text_target);
    input_target_set(2, numeric_types[(data[0] >> 1) % std::size(numeric_types)], numeric_target);
    std::string model;
    std::size_t typed = 0;
    for (std::size_t i = 1; i < size; ++i) {
        const std::uint8_t key = data[i];
        if (key == 13) continue;   // Enter comes last
        keyboard_buffer_store(key, 0);   // as the window thread would
        typed += key == 9 ? 8 : 1;
        const bool changes_nothing = key == 7 || (key >= 10 && key <= 12) || (key >= 28 && key <= 31);
        if (key == 8) {
            if (!model.empty()) model.pop_back();
        } else if (key == 9) {
            model.append(8 - (model.size() & 7), ' ');
        } else if (!changes_nothing) {
            model += static_cast<char>(key);
        }
    }
    keyboard_buffer_store(13, 0);
    input_line(line_input ? 1 : 2, static_cast<std::int8_t>(data[0] >> 7));
    const std::string result(reinterpret_cast<const char*>(text_target->text), text_target->len);
    if (line_input ? result != model : result.size() > typed) std::abort();
    const screen_image& page = *write_page;
    if (page.cursor_x < 1 || page.cursor_x > 80 || page.cursor_y < 1 || page.cursor_y > 25) std::abort();
    return 0;
}
