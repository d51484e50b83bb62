#include "tests/e2e/harness/screen_text.h"

#include <map>

#include "runtime/display/fonts.h"

namespace {

constexpr int cell_width = 8, cell_height = 16;
constexpr int cursor_rows = 2;   // the lowest rows, where the text cursor blinks

using glyph_key = std::string;   // one byte a pixel row, leftmost pixel in bit 7

// Glyph rows to character, with all rows and with the cursor rows cleared.
// The lowest code wins among equal glyphs, except that blanks read as a space.
struct glyph_tables {
    std::map<glyph_key, std::uint8_t> whole, without_cursor_rows;
    glyph_tables() {
        for (int c = 255; c >= 0; --c) {
            glyph_key key(reinterpret_cast<const char*>(&font_8x16_rows[c * cell_height]), cell_height);
            whole[key] = static_cast<std::uint8_t>(c);
            for (int r = cell_height - cursor_rows; r < cell_height; ++r) key[r] = 0;
            without_cursor_rows[key] = static_cast<std::uint8_t>(c);
        }
        whole[glyph_key(cell_height, '\0')] = ' ';
        without_cursor_rows[glyph_key(cell_height, '\0')] = ' ';
    }
};

const glyph_tables& glyphs() {
    static const glyph_tables tables;
    return tables;
}

glyph_key pattern_of(const std::uint32_t* cell, int stride, std::uint32_t foreground, int rows) {
    glyph_key key(cell_height, '\0');
    for (int r = 0; r < rows; ++r)
        for (int x = 0; x < cell_width; ++x)
            if (cell[r * stride + x] == foreground) key[r] = static_cast<char>(key[r] | (0x80 >> x));
    return key;
}

screen_cell decode_cell(const std::uint32_t* cell, int stride) {
    // The two colours of the cell: the first pixel's, and another if any.
    const std::uint32_t first = cell[0];
    std::uint32_t second = first;
    for (int r = 0; r < cell_height && second == first; ++r)
        for (int x = 0; x < cell_width; ++x)
            if (cell[r * stride + x] != first) {
                second = cell[r * stride + x];
                break;
            }
    if (second == first) return {' ', first, first};
    const glyph_tables& tables = glyphs();
    for (int rows : {cell_height, cell_height - cursor_rows}) {
        const auto& table = rows == cell_height ? tables.whole : tables.without_cursor_rows;
        for (auto [foreground, background] : {std::pair{second, first}, std::pair{first, second}}) {
            const auto found = table.find(pattern_of(cell, stride, foreground, rows));
            if (found != table.end()) return {found->second, foreground, background};
        }
    }
    return {'?', second, first};
}

}  // namespace

std::string screen_text::row(int row) const {
    std::string text;
    for (int c = 1; c <= columns; ++c) text += static_cast<char>(at(row, c).character);
    return text.erase(text.find_last_not_of(' ') + 1);
}

screen_text decode_screen(const std::vector<std::uint32_t>& pixels, int width, int height) {
    screen_text screen;
    if (pixels.size() < static_cast<std::size_t>(width) * height) return screen;
    screen.columns = width / cell_width;
    screen.rows = height / cell_height;
    for (int r = 0; r < screen.rows; ++r)
        for (int c = 0; c < screen.columns; ++c)
            screen.cells.push_back(decode_cell(&pixels[(r * cell_height) * width + c * cell_width], width));
    return screen;
}
