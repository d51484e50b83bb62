// Message boxes of the terminal edition.
//
// The rule: with a display (DISPLAY or WAYLAND_DISPLAY set), every box is a
// desktop box, as in the window edition. Without one, and also when the
// desktop box cannot be shown (no dialog program, one that cannot run, or
// one that ends without an answer because the display cannot be reached),
// the box goes to the terminal: when standard input and standard error are
// terminals, the box's title and message are written to standard error and
// a yes/no box asks there: its message's last line gets " [y/n] " and a line
// answering y or yes is Yes, n or no is No (either case); anything else asks
// again, and the end of input is No. Otherwise the title and message go to
// standard error and the box answers No, as the message-box layer answers
// when no dialog program can show it.
#pragma once
#include <cstdint>

// Shows a box of the dialog type ("ok" or "yesno") by that rule; returns 1
// for OK or Yes and 0 for No (and for a box that could only be written to
// standard error).
std::int32_t console_message_box(const char* title, const char* message, const char* dialog_type);
