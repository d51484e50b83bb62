// PRINT output on the write page: cells at the cursor, the control
// characters of the DOS text screen, wrapping at the right edge, scrolling of
// the VIEW PRINT region and the newline owed after a line that ends exactly
// at the last column (holding_cursor).
#pragma once
#include <cstdint>

struct str_desc;

// Prints the text at the cursor; with newline set, ends the line afterwards.
// Only reads the text (the caller owns it); does nothing while an error is pending.
void print_string(str_desc* text, std::int32_t newline);
// Starts a new line first when the text would not fit on the rest of the line.
void print_fit_check(str_desc* text);
// Cursor to column 1 of the next row, scrolling the region when it runs off its bottom.
void print_newline();
// Stores one cell (low byte of code, current colours) at the cursor without moving it.
void print_put_char(std::int32_t code);
// The comma of PRINT: on to the next 14-column zone.
void print_next_zone();

// 1 (default): codes 7, 9 to 13 and 28 to 31 act on the cursor and screen;
// 0: every code is drawn as its glyph.
extern std::int32_t control_chars_enabled;
