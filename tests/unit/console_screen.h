// Helpers for the text-screen tests: a fresh 80 x 25 SCREEN 0, cells and rows
// as text, and the check that a refused statement changes nothing.
#pragma once
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/errors/errors.h"
#include "runtime/fonts/fonts.h"
#include "runtime/fonts/palettes.h"
#include "runtime/screen/color_statements.h"
#include "runtime/screen/print.h"
#include "runtime/screen/screen_image.h"
#include "runtime/strings/str_desc.h"

// Start-up's tables and a newly built SCREEN 0, as the program finds them.
inline void fresh_text_screen() {
    fonts_install();
    palettes_install();
    pending_error = 0;
    next_text_columns = 80;
    next_text_rows = 25;
    next_text_font = 16;
    screen_set_mode(0, 0, 0, 0, 0, 1);
    allow_50_rows = 1;
}

inline std::uint8_t cell_char(const screen_image* page, int row, int column, int attribute = 0) {
    return page->cells[2 * ((row - 1) * page->width + column - 1) + attribute];
}
inline std::uint8_t cell_attribute(const screen_image* p, int row, int column) { return cell_char(p, row, column, 1); }
inline void move_to(int row, int column) { locate(row, column, 0, 0, 0, 3); }
inline std::pair<int, int> cursor_at(const screen_image* page) { return {page->cursor_y, page->cursor_x}; }

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

// What a statement may change on a page: cells, palette, colours, cursor, region, size.
inline std::vector<std::int64_t> page_state(const screen_image* p) {
    std::vector<std::int64_t> s(p->cells, p->cells + p->width * p->height * p->bytes_per_cell);
    if (p->palette) s.insert(s.end(), p->palette, p->palette + 256);
    s.insert(s.end(), {p->fg_color, p->bg_color, p->cursor_x, p->cursor_y, p->cursor_visible, p->cursor_start,
                       p->cursor_stop, p->view_top, p->view_bottom, p->width, p->height, p->holding_cursor});
    return s;
}
// The statement must raise error 5 and leave the write page as it was.
inline void expect_error_5(const std::string& what, const std::function<void()>& statement) {
    screen_image* const page = write_page;
    const std::vector<std::int64_t> before = page_state(page);
    pending_error = 0;
    statement();
    EXPECT_EQ(pending_error.exchange(0), 5) << what;
    EXPECT_EQ(write_page, page) << what;
    EXPECT_TRUE(page_state(page) == before) << what;
}
