// Helpers for the console tests: a fresh 80 x 25 text screen and whole rows as text.
#pragma once
#include <cstring>
#include <string>
#include <utility>

#include "runtime/console/color_statements.h"
#include "runtime/console/print.h"
#include "runtime/console/screen_image.h"
#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"
#include "runtime/errors/errors.h"
#include "runtime/strings/str_desc.h"

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

inline void move_to(int row, int column) { locate(row, column, 0, 0, 0, 3); }
inline std::pair<int, int> cursor_at(const screen_image* page) { return {page->cursor_y, page->cursor_x}; }
inline std::pair<int, int> region_of(const screen_image* page) { return {page->view_top, page->view_bottom}; }
inline std::pair<int, int> size_of(const screen_image* page) { return {page->width, page->height}; }

// A row's characters with trailing spaces removed.
inline std::string row_text(const screen_image* page, int row) {
    std::string text;
    for (int c = 1; c <= page->width; ++c) text += static_cast<char>(cell_char(page, row, c));
    return text.erase(text.find_last_not_of(' ') + 1);
}

// A string descriptor over the text (not owned, not listed as a temporary).
inline str_desc text_view(const char* text) {
    str_desc d{};
    d.text = reinterpret_cast<std::uint8_t*>(const_cast<char*>(text));
    d.len = static_cast<std::int32_t>(std::strlen(text));
    return d;
}

inline void print_raw(const std::string& text, int newline = 0) {
    str_desc d = text_view(text.c_str());
    print_string(&d, newline);
}
