// Reading the 80 x 25 text screen back from the window's pixels: each 8 x 16
// cell is matched against the glyphs of the shipped font file, giving its
// character, its two colours and the pixel rows that the text cursor covers.
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
    int rows = 0;                     // 0 when the window could not be read
    std::vector<screen_cell> cells;   // row by row

    // Cells by 1-based row and column, as LOCATE counts them.
    const screen_cell& at(int row, int column) const {
        static const screen_cell none;
        return row >= 1 && row <= rows && column >= 1 && column <= 80 ? cells[(row - 1) * 80 + column - 1] : none;
    }
    // The characters of a row without its trailing blanks; '?' for a cell that is no glyph.
    std::string row_text(int row) const;
    // All rows, numbered, for failure messages.
    std::string dump() const;
};

// Reads the window's pixels and decodes the screen in its top-left corner.
text_screen screen_read(Display* display, Window window);
