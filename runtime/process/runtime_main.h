// The start of the process: everything main does, in a fixed order.
#pragma once

#include "runtime/core/threads.h"

// The compiled BASIC program's main routine, run on the program thread after
// the prologue (the calculator, or a test program).
using program_entry = void (*)();

// Everything main does: prepares the run-time, opens the window, starts the
// threads and becomes the window thread. Does not return in practice.
int runtime_main(int argc, char** argv, program_entry program);
// The same for the terminal edition: sets the console option and makes the
// console image instead of the window, and runs the program on the main
// thread, which ends the process. Nothing it reaches needs a display.
int console_runtime_main(int argc, char** argv, program_entry program);

// Start-up up to the window: tables, strings, directories, command line,
// keyboard buffer, fonts and palettes, SCREEN 0 and the input devices. An
// error recorded on the way is pending afterwards, with the screen in place.
void runtime_prepare(int argc, char** argv);

// Starts the program thread (running program) and the timer thread, sets
// program_started and starts the screen thread, each through start. When one
// cannot be started an alert names it and the process ends with status 1.
using thread_starter = thread_handle* (*)(thread_entry entry, void* argument);
void workers_start(thread_starter start, program_entry program);
// The handles of the program, timer and screen threads.
extern thread_handle* worker_threads[3];

// The program thread's entry (argument: the program_entry to run).
void program_thread(void* program);
