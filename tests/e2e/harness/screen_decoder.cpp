#include "tests/e2e/harness/screen_decoder.h"

#include "runtime/display/fonts.h"
#include "tests/e2e/harness/window_access.h"

namespace {

// The glyphs of a font as one byte a row, leftmost pixel in the high bit.
struct packed_font {
    int rows = 0;
    std::uint8_t glyph_rows[256][16] = {};
};

const packed_font& packed_font_of_height(int cell_height) {
    static packed_font fonts[3];
    static bool made = false;
    if (!made) {
        fonts_install();
        const int heights[3] = {16, 14, 8};
        for (int f = 0; f < 3; ++f) {
            packed_font& font = fonts[f];
            font.rows = heights[f];
            for (int c = 0; c < 256; ++c) {
                const std::uint8_t* glyph = f == 0 ? font_8x16 + c * 128 : f == 1 ? font_8x16 + c * 128 + 8 : font_8x8 + c * 64;
                for (int r = 0; r < font.rows; ++r) {
                    std::uint8_t bits = 0;
                    for (int x = 0; x < 8; ++x) bits = static_cast<std::uint8_t>(bits << 1 | (glyph[r * 8 + x] != 0));
                    font.glyph_rows[c][r] = bits;
                }
            }
        }
        made = true;
    }
    return fonts[cell_height == 16 ? 0 : cell_height == 14 ? 1 : 2];
}

// Characters in the order they are tried: printable ASCII first, so that a
// cell that also matches an inverse glyph (219 for a space, 223 for 220...)
// reads as the everyday character.
const std::vector<int>& character_preference() {
    static std::vector<int> order;
    if (order.empty()) {
        for (int c = 32; c < 127; ++c) order.push_back(c);
        for (int c = 0; c < 32; ++c) order.push_back(c);
        for (int c = 127; c < 256; ++c) order.push_back(c);
    }
    return order;
}

// Matches glyph rows against a cell's rows (bit set = the colour taken as
// foreground). A row that differs but is all foreground may be a cursor row.
bool glyph_matches(const std::uint8_t* glyph, const std::uint8_t* cell, int rows, std::uint32_t& cursor_rows) {
    cursor_rows = 0;
    for (int r = 0; r < rows; ++r) {
        if (cell[r] == glyph[r]) continue;
        if (cell[r] != 0xFF) return false;
        cursor_rows |= 1u << r;
    }
    return true;
}

screen_cell decode_cell(const std::vector<std::uint32_t>& pixels, int width, int left, int top, const packed_font& font) {
    screen_cell cell;
    std::uint32_t colours[2] = {pixels[static_cast<std::size_t>(top) * width + left], 0};
    int colour_count = 1;
    std::uint8_t first_colour_rows[16] = {};
    for (int r = 0; r < font.rows; ++r) {
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(top + r) * width + left + x];
            if (p == colours[0]) {
                first_colour_rows[r] |= static_cast<std::uint8_t>(0x80 >> x);
            } else if (colour_count == 1) {
                colours[colour_count++] = p;
            } else if (p != colours[1]) {
                return cell;   // three colours: no glyph of ours
            }
        }
    }
    if (colour_count == 1) {
        cell.recognised = true;
        cell.character = ' ';
        cell.foreground = cell.background = colours[0];
        return cell;
    }
    std::uint8_t second_colour_rows[16] = {};
    for (int r = 0; r < font.rows; ++r) second_colour_rows[r] = static_cast<std::uint8_t>(~first_colour_rows[r]);
    // A glyph without cursor rows wins; else the one that needs the fewest.
    int fewest_cursor_rows = 17;
    for (int c : character_preference()) {
        for (int fg = 0; fg < 2; ++fg) {
            std::uint32_t cursor_rows = 0;
            if (!glyph_matches(font.glyph_rows[c], fg == 0 ? first_colour_rows : second_colour_rows, font.rows,
                               cursor_rows))
                continue;
            const int count = __builtin_popcount(cursor_rows);
            if (count >= fewest_cursor_rows) continue;
            fewest_cursor_rows = count;
            cell.recognised = true;
            cell.character = static_cast<std::uint8_t>(c);
            cell.foreground = colours[fg];
            cell.background = colours[1 - fg];
            cell.cursor_rows = cursor_rows;
            if (count == 0) return cell;
        }
    }
    return cell;
}

}  // namespace

std::string text_screen::row_text(int row) const {
    std::string text;
    for (int column = 1; column <= columns; ++column) {
        const screen_cell& cell = at(row, column);
        text += cell.recognised ? static_cast<char>(cell.character) : '?';
    }
    return text;
}

bool text_screen::row_starts_with(int row, const std::string& text) const {
    return row >= 1 && row <= rows && row_text(row).compare(0, text.size(), text) == 0;
}

bool text_screen::find_cursor(int& row, int& column) const {
    for (int i = 0; i < static_cast<int>(cells.size()); ++i)
        if (cells[i].cursor_rows != 0) {
            row = i / columns + 1;
            column = i % columns + 1;
            return true;
        }
    return false;
}

text_screen screen_decode(const std::vector<std::uint32_t>& pixels, int width, int height, int columns, int rows,
                          int cell_height) {
    text_screen screen;
    if (width < columns * 8 || height < rows * cell_height ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return screen;
    const packed_font& font = packed_font_of_height(cell_height);
    screen.columns = columns;
    screen.rows = rows;
    screen.cells.reserve(static_cast<std::size_t>(columns) * rows);
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            screen.cells.push_back(decode_cell(pixels, width, column * 8, row * cell_height, font));
    return screen;
}

text_screen screen_read(Display* display, Window window, int columns, int rows, int cell_height) {
    int width = 0, height = 0;
    const std::vector<std::uint32_t> pixels = window_pixels(display, window, width, height);
    return screen_decode(pixels, width, height, columns, rows, cell_height);
}
