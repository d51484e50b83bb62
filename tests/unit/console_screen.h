// Helpers for the console tests: a fresh 80 x 25 text screen and whole rows as text.
#pragma once
#include <string>

#include "runtime/console/screen_image.h"
#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"
#include "runtime/errors/errors.h"

// Start-up's tables and a newly built SCREEN 0, as the program finds them.
inline void fresh_text_screen() {
    static const bool installed = (fonts_install(), palettes_install(), true);
    (void)installed;
    pending_error = 0;
    next_text_columns = 80;
    next_text_rows = 25;
    next_text_font = 16;
    screen_set_mode(0, 0, 0, 0, 0, 1);
    allow_50_rows = 1;
}

inline std::uint8_t cell_char(const screen_image* page, int row, int column) {
    return page->cells[2 * ((row - 1) * page->width + column - 1)];
}
inline std::uint8_t cell_attribute(const screen_image* page, int row, int column) {
    return page->cells[2 * ((row - 1) * page->width + column - 1) + 1];
}

// A row's characters with trailing spaces removed.
inline std::string row_text(const screen_image* page, int row) {
    std::string text;
    for (int c = 1; c <= page->width; ++c) text += static_cast<char>(cell_char(page, row, c));
    return text.erase(text.find_last_not_of(' ') + 1);
}
