// INPUT: a small line editor on the write page. It reads the keyboard buffer,
// echoes with PRINT, shows the cursor while it waits, and checks the line
// after every key against the types of its targets (runtime/input/input_targets.h),
// taking back at once a character that would make the line unacceptable.
// On the console image it reads standard input instead, through the reader
// that the terminal edition sets.
#pragma once
#include <cstdint>

// Set by the terminal edition at start-up (runtime/terminal/console_input.h):
// INPUT on the console image. Null elsewhere, where no page is the console image.
extern void (*console_input_line_reader)(std::int32_t target_count, std::int8_t newline);

// Reads one line into targets 1 to target_count. With newline set the cursor
// moves to the start of the next line after Enter. Returns early when the
// process starts to exit while it waits (the caller then parks).
void input_line(std::int32_t target_count, std::int8_t newline);
