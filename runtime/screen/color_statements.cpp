#include "runtime/screen/color_statements.h"

#include <algorithm>
#include <cstring>

#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/fonts/fonts.h"
#include "runtime/fonts/palettes.h"
#include "runtime/screen/console_image.h"
#include "runtime/screen/screen_image.h"

namespace {

constexpr std::uint32_t any_value = 0xFFFFFFFFu;

// A VGA triple (red + 256 green + 65,536 blue, each 0 to 63) as 0x00RRGGBB,
// each 6-bit component c widened to min(255, c * 256 / 63).
std::uint32_t vga_triple_colour(std::uint32_t triple) {
    auto widen = [](std::uint32_t c) { return std::min(255u, c * 256 / 63); };
    return widen(triple & 63) << 16 | widen(triple >> 8 & 63) << 8 | widen(triple >> 16 & 63);
}

struct color_limits {
    std::uint32_t fg_max, bg_max;
    bool border_allowed;
};

// COLOR's limits on a page; false for a mode that has no COLOR.
bool find_color_limits(const screen_image& page, color_limits& found) {
    if (page.is_console) {
        found = {255, 255, true};
        return true;
    }
    switch (page.compat_mode) {
        case 0: found = {31, 15, true}; return true;
        case 1: found = {15, any_value, false}; return true;
        case 2: found = {1, 15, false}; return true;
        case 7:
        case 8:
        case 12: found = {15, 15, false}; return true;
        case 9: found = {15, 63, false}; return true;
        case 10: found = {3, 8, false}; return true;
        case 11: found = {1, 1, false}; return true;
        case 13:
        case 256: found = {255, 255, false}; return true;
        case 32: found = {any_value, any_value, false}; return true;
        default: return false;
    }
}

void fill_text_rows(screen_image& page, std::int32_t first_row, std::int32_t last_row, std::uint8_t attribute) {
    std::uint8_t* cell = page.cells + 2 * (first_row - 1) * page.width;
    std::uint8_t* const end = page.cells + 2 * last_row * page.width;
    for (; cell < end; cell += 2) {
        cell[0] = ' ';
        cell[1] = attribute;
    }
}

void fill_pixel_rows(screen_image& page, std::int32_t first_row, std::int32_t last_row, std::uint32_t colour) {
    first_row = std::max(first_row, 0);
    last_row = std::min<std::int32_t>(last_row, page.height - 1);
    if (first_row > last_row) return;
    const std::size_t count = static_cast<std::size_t>(last_row - first_row + 1) * page.width;
    if (page.bytes_per_cell == 4) {
        auto* pixel = reinterpret_cast<std::uint32_t*>(page.cells) + static_cast<std::size_t>(first_row) * page.width;
        std::fill(pixel, pixel + count, colour);
    } else {
        std::memset(page.cells + static_cast<std::size_t>(first_row) * page.width, static_cast<std::uint8_t>(colour),
                    count);
    }
}

}  // namespace

void palette_set(std::int32_t attribute, std::int32_t colour, std::int32_t flag) {
    const wake_on_exit page_changed{screen_thread_wake};
    if (pending_error.load() != 0 || !write_page) return;
    screen_image& page = *write_page;
    if (flag == 0) return palette_initial(page.compat_mode, page.palette);
    if (page.bytes_per_cell == 4 || !page.palette) return raise_error(5);
    const std::uint32_t index = static_cast<std::uint8_t>(attribute);
    const std::uint32_t value = static_cast<std::uint32_t>(colour);
    const bool triple_valid = (value & 0xFFC0C0C0u) == 0;
    switch (page.compat_mode) {
        case 0:
        case 9:
            if (index > 15 || value > 63) return raise_error(5);
            page.palette[index] = ega_palette_64[value];
            return;
        case 1:
        case 2:
        case 7:
        case 8:
            if (index > (page.compat_mode == 2 ? 1u : 15u) || value > 15) return raise_error(5);
            page.palette[index] = default_palette_256[value];
            return;
        case 10:
            if (index > 3 || value > 8) return raise_error(5);
            page.palette[index + 4] = value;  // an index into mono_blink_table
            return;
        case 11:
        case 12:
        case 13:
        case 256:
            if (index > (page.compat_mode == 11 ? 1u : page.compat_mode == 12 ? 15u : 255u) || !triple_valid)
                return raise_error(5);
            page.palette[index] = vga_triple_colour(value);
            return;
        default:
            return raise_error(5);
    }
}

void color_set(std::int32_t fg, std::int32_t bg, std::int32_t border, std::int32_t mask) {
    const wake_on_exit page_changed{screen_thread_wake};
    (void)border;  // only its presence matters
    if (pending_error.load() != 0 || !write_page || mask == 0) return;
    screen_image& page = *write_page;
    const bool fg_given = mask & 1, bg_given = mask & 2, border_given = mask & 4;
    const std::uint32_t fg_value = static_cast<std::uint32_t>(fg), bg_value = static_cast<std::uint32_t>(bg);
    color_limits limits;
    if (!find_color_limits(page, limits) || (border_given && !limits.border_allowed) ||
        (fg_given && fg_value > limits.fg_max) || (bg_given && bg_value > limits.bg_max))
        return raise_error(5);

    if (page.is_console) {
        if (fg_given) console_foreground(fg);
        if (bg_given) console_background(bg);
        return;
    }
    switch (page.compat_mode) {
        case 0:
            if (fg_given) page.fg_color = fg_value;
            if (bg_given) page.bg_color = bg_value & 7;
            return;
        case 1:  // the foreground is the background colour, the background picks the CGA palette
            if (fg_given) page.palette[0] = default_palette_256[fg_value];
            if (bg_given) std::memcpy(page.palette + 1, cga_palettes[bg_value & 1], sizeof cga_palettes[0]);
            return;
        case 2:
        case 7:
        case 8:
            if (fg_given) page.fg_color = fg_value;
            if (bg_given) page.palette[0] = default_palette_256[bg_value];
            return;
        case 9:
            if (fg_given) page.fg_color = fg_value;
            if (bg_given) page.palette[0] = ega_palette_64[bg_value];
            return;
        case 10:
            if (fg_given) page.fg_color = fg_value;
            if (bg_given) page.palette[4] = bg_value;
            return;
        default:  // 11, 12, 13, 256, 32
            if (fg_given) page.fg_color = fg_value;
            if (bg_given) page.bg_color = bg_value;
            return;
    }
}

void cls(std::int32_t method, std::int32_t colour, std::int32_t mask) {
    const wake_on_exit page_changed{screen_thread_wake};
    if (pending_error.load() != 0 || !write_page) return;
    screen_image& page = *write_page;
    const bool method_given = mask & 1, colour_given = mask & 2;
    if (page.is_console) {
        if (colour_given) color_set(0, colour, 0, 2);
        if (pending_error.load() != 0) return;
        console_clear();
        locate(1, 1, 0, 0, 0, 3);
        return;
    }
    const std::uint32_t fill = colour_given ? static_cast<std::uint32_t>(colour) : page.bg_color;
    if (colour_given && page.bytes_per_cell != 4 && fill > page.color_mask) return raise_error(5);
    if (method_given && (method < 0 || method > 2)) return raise_error(5);

    page.cursor_x = 1;
    page.cursor_y = page.view_top;
    page.holding_cursor = cursor_not_held;  // the next PRINT starts on the cleared top row
    page.draw_state_value = 0;
    page.draw_state_scale = 1.0;
    if (page.is_text) {
        const std::uint8_t attribute =
            static_cast<std::uint8_t>((fill & 7) << 4 | (page.fg_color & 16) << 3 | (page.fg_color & 15));
        if (!method_given) {
            fill_text_rows(page, page.view_top, page.view_bottom, attribute);
            fill_text_rows(page, page.height, page.height, attribute);
        } else if (method == 0) {
            fill_text_rows(page, 1, page.height, attribute);
        } else if (method == 2) {
            fill_text_rows(page, page.view_top, page.view_bottom, attribute);
        }
        // The function-key line, redrawn after CLS and CLS 0, is off in this system.
        return;
    }
    if (method_given && method == 2) {
        const std::int32_t cell_height = page.font < 49 ? font_height[page.font] : 0;
        fill_pixel_rows(page, (page.view_top - 1) * cell_height, page.view_bottom * cell_height - 1, fill);
        return;
    }
    // No graphics viewport is ever set here, so every other method clears the whole image.
    fill_pixel_rows(page, 0, page.height - 1, fill);
    page.graphics_x = page.width / 2;
    page.graphics_y = page.height / 2;
}
