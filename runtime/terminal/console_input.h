// INPUT on the console image: one line of standard input, taken as if its
// bytes had been typed into INPUT's line editor: the same rules for commas
// and quotes, Backspace (8) takes back, Tab (9) feeds spaces to the next
// multiple of 8, a character that would make the line unacceptable is
// dropped, and the line end ("\n", "\r\n" or "\r") finishes. A line keeps
// its first megabyte; the rest is read and dropped. On a terminal the
// terminal's own line editing comes first.
#pragma once
#include <cstdint>

// Reads into targets 1 to target_count (runtime/input/input_targets.h). At the
// end of input it takes what was read so far. Unless standard input and
// standard output are both terminals (where the terminal has shown the typed
// line), the accepted line is echoed to standard output; with newline set a
// line end follows.
void console_input_line(std::int32_t target_count, std::int8_t newline);
