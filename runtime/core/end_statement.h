// END: the program's last statement.
#pragma once

// Shows "Press any key to continue" on the last row of the display page,
// waits for a new key and asks for the end of the program; the screen
// thread's exit sequence then ends the process. Never returns.
[[noreturn]] void end_statement();
