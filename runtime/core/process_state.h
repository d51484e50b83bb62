// What start-up records about the process for every layer to read. The main
// thread writes it before the first worker thread starts.
#pragma once
#include <atomic>
#include <cstdint>

// 1 once the worker threads start (set by start-up just before the screen
// thread; in the terminal edition before the program runs). The program
// thread, which may already run when it is set, reads it.
extern std::atomic<std::int32_t> program_started;
// The process's arguments as main received them.
extern std::int32_t argument_count;
extern char** argument_vector;
