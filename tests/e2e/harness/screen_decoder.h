// Reading the text screen back from the window's pixels: every cell is
// matched against the built-in font, giving its character, its two colours
// and the pixel rows that the text cursor covers.
#pragma once
#include <X11/Xlib.h>
#include <cstdint>
#include <string>
#include <vector>

struct screen_cell {
    bool recognised = false;          // the pixels are a glyph of the font in two colours
    std::uint8_t character = 0;       // a one-coloured cell reads as a space
    std::uint32_t foreground = 0;     // 0x00RRGGBB (a one-coloured cell: its colour)
    std::uint32_t background = 0;
    std::uint32_t cursor_rows = 0;    // bit r: pixel row r is filled by the text cursor
};

struct text_screen {
    int columns = 0, rows = 0;
    std::vector<screen_cell> cells;   // row by row

    // Cells by 1-based row and column, as LOCATE counts them.
    const screen_cell& at(int row, int column) const { return cells[(row - 1) * columns + (column - 1)]; }
    // The characters of a row; '?' for a cell that is no glyph.
    std::string row_text(int row) const;
    // True when the row starts with text (the rest of the row may hold anything).
    bool row_starts_with(int row, const std::string& text) const;
    // 1-based position of the first cell showing the cursor; false when none does.
    bool find_cursor(int& row, int& column) const;
};

// Decodes pixels (0x00RRGGBB, row by row, width x height) as columns x rows
// cells 8 pixels wide of the built-in font with the given cell height (16, 14
// or 8), the screen in the top-left corner at its own size.
text_screen screen_decode(const std::vector<std::uint32_t>& pixels, int width, int height, int columns = 80,
                          int rows = 25, int cell_height = 16);

// Reads the window's pixels and decodes them; an empty screen (0 columns)
// when the window cannot be read or is smaller than the text screen.
text_screen screen_read(Display* display, Window window, int columns = 80, int rows = 25, int cell_height = 16);
