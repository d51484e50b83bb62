#include "runtime/screen/print.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/screen/color_statements.h"
#include "runtime/screen/screen_image.h"
#include "runtime/strings/str_desc.h"

std::int32_t control_chars_enabled = 1;

namespace {

// The write page when it takes text cells: not the console image, not a
// pixel image (drawing characters into pixels belongs to the graphics statements).
screen_image* text_write_page() {
    screen_image* page = write_page;
    return page && page->is_text && !page->is_console ? page : nullptr;
}

std::uint8_t current_attribute(const screen_image& page) {
    return static_cast<std::uint8_t>((page.fg_color & 15) | (page.fg_color & 16) << 3 | (page.bg_color & 7) << 4);
}

void newline(screen_image& page) {
    page.cursor_x = 1;
    if (++page.cursor_y <= page.view_bottom) return;
    // Scroll the region up one row; rows outside it are never touched.
    const std::size_t row_bytes = 2u * page.width;
    std::uint8_t* top = page.cells + (page.view_top - 1) * row_bytes;
    std::memmove(top, top + row_bytes, (page.view_bottom - page.view_top) * row_bytes);
    std::uint8_t* bottom = page.cells + (page.view_bottom - 1) * row_bytes;
    const std::uint8_t attribute = current_attribute(page);
    for (std::size_t i = 0; i < row_bytes; i += 2) {
        bottom[i] = ' ';
        bottom[i + 1] = attribute;
    }
    page.cursor_y = page.view_bottom;
}

// Stores a run of characters with one attribute from the cursor on.
void put_run(screen_image& page, const std::uint8_t* __restrict text, std::int32_t count) {
    std::uint8_t* __restrict cell = page.cells + 2 * ((page.cursor_y - 1) * page.width + (page.cursor_x - 1));
    const std::uint8_t attribute = current_attribute(page);
    for (std::int32_t k = 0; k < count; ++k) {
        cell[2 * k] = text[k];
        cell[2 * k + 1] = attribute;
    }
}

void put_char(screen_image& page, std::uint8_t code) { put_run(page, &code, 1); }

// The control characters other than the tab.
void control_char(screen_image& page, std::uint8_t code) {
    switch (code) {
        case 7:
            sleep_ms(250);
            return;
        case 10:
        case 13:
            newline(page);
            return;
        case 11:
            page.cursor_x = 1;
            page.cursor_y = page.view_top;
            return;
        case 12:
            cls(0, 0, 0);
            return;
        case 28:  // right
            if (page.cursor_y >= page.view_bottom && page.cursor_x >= page.width) return;
            if (++page.cursor_x > page.width) {
                page.cursor_x = 1;
                ++page.cursor_y;
            }
            return;
        case 29:  // left
            if (page.cursor_x == 1 && (page.cursor_y == page.view_top || page.cursor_y > page.view_bottom))
                return;
            if (--page.cursor_x < 1) {
                page.cursor_x = page.width;
                --page.cursor_y;
            }
            return;
        case 30:  // up
            if (page.view_top < page.cursor_y && page.cursor_y <= page.view_bottom) --page.cursor_y;
            return;
        case 31:  // down
            if (page.view_top <= page.cursor_y && page.cursor_y < page.view_bottom) ++page.cursor_y;
            return;
    }
}

// The codes that act instead of being drawn while the switch is on.
constexpr std::uint32_t acting_controls =
    1u << 7 | 1u << 9 | 1u << 10 | 1u << 11 | 1u << 12 | 1u << 13 | 1u << 28 | 1u << 29 | 1u << 30 | 1u << 31;

bool acts(std::uint8_t code, bool controls_on) { return controls_on && code < 32 && (acting_controls >> code & 1); }

void print_text(screen_image& page, const std::uint8_t* text, std::int32_t length, bool end_line) {
    if (page.holding_cursor) {
        if (length > 0) {
            page.holding_cursor = cursor_not_held;
            newline(page);
        } else if (end_line) {
            page.holding_cursor = cursor_not_held;
        }
    }
    const bool controls_on = control_chars_enabled != 0;
    const std::int32_t width = page.width;
    bool wrapped = false;
    std::int32_t i = 0;
    while (i < length) {
        wrapped = false;
        bool tab_goes_on = false;
        if (acts(text[i], controls_on)) {
            if (text[i] != 9) {
                control_char(page, text[i++]);
                continue;
            }
            // A tab is a space, repeated up to the next stop at 9, 17, 25, ...
            tab_goes_on = page.cursor_x % 8 != 0;
            put_char(page, ' ');
            ++page.cursor_x;
            if (!tab_goes_on) ++i;
        } else {
            // A run of drawn characters, at most up to the right edge.
            const std::int32_t room = std::min(width - page.cursor_x + 1, length - i);
            std::int32_t run = 1;
            while (run < room && !acts(text[i + run], controls_on)) ++run;
            put_run(page, text + i, run);
            page.cursor_x = static_cast<std::int16_t>(page.cursor_x + run);
            i += run;
        }
        if (page.cursor_x <= width) continue;
        // Past the right edge (a tab ends there too: column 1 is a stop).
        if (tab_goes_on) ++i;
        if (!end_line && i == length) {
            page.cursor_x = page.width;
            page.holding_cursor = cursor_held_for_newline;
        } else {
            newline(page);
            wrapped = true;
        }
    }
    if (end_line && !wrapped) newline(page);
}

void print_console(const str_desc* text, bool end_line) {
    // Written as a zero-terminated string: the text ends at its first zero byte.
    const void* zero = std::memchr(text->text, 0, text->len);
    const std::size_t length = zero ? static_cast<const std::uint8_t*>(zero) - text->text : text->len;
    std::fwrite(text->text, 1, length, stdout);
    if (end_line) std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

void print_string(str_desc* text, std::int32_t newline_flag) {
    const wake_on_exit page_changed{screen_thread_wake};
    if (pending_error.load() != 0 || !write_page) return;
    if (write_page->is_console) return print_console(text, newline_flag != 0);
    if (screen_image* page = text_write_page()) print_text(*page, text->text, text->len, newline_flag != 0);
}

void print_fit_check(str_desc* text) {
    const wake_on_exit page_changed{screen_thread_wake};
    if (pending_error.load() != 0) return;
    screen_image* page = text_write_page();
    if (!page || page->holding_cursor || page->cursor_x == 1) return;
    if (page->cursor_x - 1 + text->len > page->width) newline(*page);
}

void print_newline() {
    const wake_on_exit page_changed{screen_thread_wake};
    if (screen_image* page = text_write_page()) newline(*page);
}

void print_put_char(std::int32_t code) {
    const wake_on_exit page_changed{screen_thread_wake};
    if (screen_image* page = text_write_page()) put_char(*page, static_cast<std::uint8_t>(code));
}

void print_next_zone() {
    const wake_on_exit page_changed{screen_thread_wake};
    if (pending_error.load() != 0 || !write_page) return;
    if (write_page->is_console) {
        std::fputc(' ', stdout);
        std::fflush(stdout);
        return;
    }
    screen_image* page = text_write_page();
    if (!page) return;
    if (page->holding_cursor) {
        newline(*page);
        page->holding_cursor = cursor_not_held;
        return;
    }
    // One space, then more until the start of a zone that lies below
    // width - 12, the last column, or a new line.
    static const std::uint8_t space = ' ';
    do {
        print_text(*page, &space, 1, false);
    } while (page->cursor_x != 1 && !((page->cursor_x - 1) % 14 == 0 && page->cursor_x < page->width - 12) &&
             page->cursor_x < page->width);
}
