// The terminal around the terminal edition: what it changes there (the
// colours, and the key mode while END waits for a key), and the promise to
// put both back however the process ends: at exit, and on the signals that
// end a process from the terminal (SIGINT, SIGQUIT, SIGTERM, SIGHUP).
#pragma once

// Decides whether escape sequences go to standard output, and installs the
// exit handler and the signal handlers (signals that were ignored when the
// process started stay ignored).
void console_terminal_startup();

// The key mode on the terminal of standard input: no line editing, no echo,
// every key read at once (the terminal's own signal keys, such as Ctrl+C,
// keep working). False when standard input is not a terminal or the mode
// cannot be set.
bool console_key_mode_begin();
void console_key_mode_end();

// Puts the terminal's colours and modes back as they were at start. Safe to
// call more than once.
void console_terminal_restore();
