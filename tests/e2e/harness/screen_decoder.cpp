#include "tests/e2e/harness/screen_decoder.h"

#include <fstream>
#include <iterator>

#include "tests/e2e/harness/window_access.h"

namespace {

// The glyph rows of the font file, one byte a row, leftmost pixel in the high bit.
const std::string& glyph_rows() {
    static const std::string rows = [] {
        std::ifstream in(std::string(TEST_SOURCE_DIR) + "/data/cp437_8x16.bin", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    return rows;
}

// Characters in the order they are tried: printable ASCII first, so that a
// cell that also matches an inverse glyph (219 for a space...) reads as the
// everyday character.
int preferred(int i) { return i < 95 ? 32 + i : i < 127 ? i - 95 : i; }

// Matches a glyph against a cell's rows (bit set = the colour taken as
// foreground). A row that differs but is all foreground may be a cursor row.
bool glyph_matches(const char* glyph, const std::uint8_t* cell, std::uint32_t& cursor_rows) {
    cursor_rows = 0;
    for (int r = 0; r < 16; ++r) {
        if (cell[r] == static_cast<std::uint8_t>(glyph[r])) continue;
        if (cell[r] != 0xFF) return false;
        cursor_rows |= 1u << r;
    }
    return true;
}

screen_cell decode_cell(const std::vector<std::uint32_t>& pixels, int width, int left, int top) {
    screen_cell cell;
    std::uint32_t colours[2] = {pixels[static_cast<std::size_t>(top) * width + left], 0};
    int colour_count = 1;
    std::uint8_t rows[2][16] = {};   // the pixels of the first colour, and of the second
    for (int r = 0; r < 16; ++r) {
        for (int x = 0; x < 8; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(top + r) * width + left + x];
            if (p == colours[0]) rows[0][r] |= static_cast<std::uint8_t>(0x80 >> x);
            else if (colour_count == 1) colours[colour_count++] = p;
            else if (p != colours[1]) return cell;   // three colours: no glyph of ours
        }
        rows[1][r] = static_cast<std::uint8_t>(~rows[0][r]);
    }
    if (colour_count == 1) {
        cell = {true, ' ', colours[0], colours[0], 0};
        return cell;
    }
    // A glyph without cursor rows wins; else the one that needs the fewest.
    int fewest_cursor_rows = 17;
    for (int i = 0; i < 256 && fewest_cursor_rows > 0; ++i) {
        const int c = preferred(i);
        for (int fg = 0; fg < 2; ++fg) {
            std::uint32_t cursor_rows = 0;
            if (!glyph_matches(glyph_rows().data() + c * 16, rows[fg], cursor_rows)) continue;
            const int count = __builtin_popcount(cursor_rows);
            if (count >= fewest_cursor_rows) continue;
            fewest_cursor_rows = count;
            cell = {true, static_cast<std::uint8_t>(c), colours[fg], colours[1 - fg], cursor_rows};
        }
    }
    return cell;
}

}  // namespace

std::string text_screen::row_text(int row) const {
    std::string text;
    for (int column = 1; column <= 80 && row >= 1 && row <= rows; ++column)
        text += at(row, column).recognised ? static_cast<char>(at(row, column).character) : '?';
    return text.erase(text.find_last_not_of(' ') + 1);
}

std::string text_screen::dump() const {
    std::string text;
    for (int row = 1; row <= rows; ++row) text += std::to_string(row) + "|" + row_text(row) + "\n";
    return text;
}

text_screen screen_read(Display* display, Window window) {
    text_screen screen;
    int width = 0, height = 0;
    const std::vector<std::uint32_t> pixels = window_pixels(display, window, width, height);
    if (width < 640 || height < 400 || glyph_rows().size() != 256 * 16) return screen;
    screen.rows = 25;
    for (int row = 0; row < 25; ++row)
        for (int column = 0; column < 80; ++column)
            screen.cells.push_back(decode_cell(pixels, width, column * 8, row * 16));
    return screen;
}
