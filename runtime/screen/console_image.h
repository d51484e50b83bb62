// The console image: the write and display page of the terminal edition.
// PRINT writes its text to standard output; COLOR, CLS and LOCATE write
// terminal escape sequences, but only when standard output is a terminal,
// so that redirected output is plain text.
#pragma once
#include <cstdint>

// 1 when the console image writes escape sequences: standard output is a
// terminal whose TERM is not "dumb". Decided at start-up.
extern std::int32_t console_escapes;

// Makes the console image (80 x 25, text mode) and makes it the write page,
// the display page and the source image. Returns its slot, 0 on failure.
std::int32_t console_image_create();

// The escape sequences, written and flushed only when console_escapes is set.
void console_foreground(std::int32_t colour);   // ESC [38;5;colour m
void console_background(std::int32_t colour);   // ESC [48;5;colour m
void console_clear();                           // ESC [2J
void console_move(std::int32_t row, std::int32_t column);   // ESC [row;column H

// Puts the terminal's own colours back (ESC [39;49m) when COLOR has changed
// them; true when it did. With flush set, standard output is flushed first;
// without it the call is safe in a signal handler.
bool console_colours_restore(bool flush);
// Sends the colours COLOR set last again (after a restore, when the process
// continues from a stop). Safe in a signal handler.
void console_colours_set_again();
