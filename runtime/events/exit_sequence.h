// The orderly end of the process.
#pragma once

// The end of the process, run by the screen thread (in the terminal edition
// by the program thread as it parks): announces the exit, waits until the
// program thread has parked and the timer thread has ended (the thread that
// stops wakes the screen thread), and has the window thread exit with
// exit_status. Never returns.
[[noreturn]] void exit_sequence();
