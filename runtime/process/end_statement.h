// END: the program's last statement.
#pragma once

// Shows "Press any key to continue" on the last row of the display page,
// waits for a new key and asks for the end of the program; the screen
// thread's exit sequence then ends the process. Never returns. On the
// console image the prompt goes to standard output and only a terminal
// waits for a key; the line is ended afterwards, the terminal's colours
// back first.
[[noreturn]] void end_statement();
