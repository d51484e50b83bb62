// Reading the text screen back from a window's pixels: each 8 x 16 cell is
// matched against the glyphs of the built-in 8 x 16 font, so a test sees the
// characters and colours the user sees.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct screen_cell {
    std::uint8_t character = ' ';   // '?' when no glyph matches
    std::uint32_t foreground = 0;   // 0x00RRGGBB
    std::uint32_t background = 0;
};

struct screen_text {
    int columns = 0, rows = 0;
    std::vector<screen_cell> cells;   // row by row

    const screen_cell& at(int row, int column) const { return cells[(row - 1) * columns + (column - 1)]; }
    // Row (1-based) as text, trailing blanks removed.
    std::string row(int row) const;
};

// Decodes window pixels (0x00RRGGBB, row by row) into cells of 8 x 16 pixels.
// A blinking cursor in the two lowest pixel rows of a cell is ignored.
screen_text decode_screen(const std::vector<std::uint32_t>& pixels, int width, int height);
