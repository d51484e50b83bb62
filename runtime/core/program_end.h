// The end of the program: the flags of the exit protocol, END, the exit
// sequence of the screen thread and the close button.
#pragma once
#include <atomic>
#include <cstdint>

extern std::atomic<std::uint8_t> stop_requested;           // END, break key, dialogue's "No"
extern std::atomic<std::uint8_t> exit_in_progress;         // the exit sequence has started
extern std::atomic<std::uint32_t> stopped_threads;         // bit 0 program thread parked, bit 1 timer thread ended
extern std::atomic<std::uint32_t> close_request;           // bit 0 close button, bit 1 break key
extern std::atomic<std::int32_t> close_handled_by_program; // 1 once the program called exit_query
extern std::int32_t exit_status;
// Set by the terminal edition, which has no screen thread: the program
// thread runs the exit sequence itself when it parks.
extern bool exit_runs_on_program_thread;

// The program's exit-query function: from now on the close button is the
// program's to handle. Returns close_request (1 close button, 2 break key,
// 3 both) and clears it.
std::int32_t exit_query();

// The end of the process, run by the screen thread: announces the exit,
// waits until the program thread has parked and the timer thread has ended
// (the thread that stops wakes the screen thread), and has the window
// thread exit with exit_status. Never returns.
[[noreturn]] void exit_sequence();
