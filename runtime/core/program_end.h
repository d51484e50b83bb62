// The end of the program: the flags of the exit protocol, the parking of the
// program thread and the end of the process. The exit sequence itself runs
// at the top of the process (runtime/process/exit_sequence.h).
#pragma once
#include <atomic>
#include <cstdint>

// Each flag is one atomic word: set by the thread named, read by any.
extern std::atomic<std::uint8_t> stop_requested;           // END, break key, dialogue's "No"; read by the screen thread
extern std::atomic<std::uint8_t> exit_in_progress;         // set by the exit sequence; ends every wait of the threads that stop
extern std::atomic<std::uint32_t> stopped_threads;         // bit 0 program thread parked, bit 1 timer thread ended
extern std::atomic<std::uint32_t> close_request;           // bit 0 close button (window thread), bit 1 break key
extern std::atomic<std::int32_t> close_handled_by_program; // 1 once the program called exit_query
// The status the exit sequence ends the process with. Nothing in this
// program sets it (every orderly end is status 0); a program's SYSTEM n would.
extern std::int32_t exit_status;

// What the top of the process hands down at start-up, for the two ways a
// lower layer ends the process. Either may stay null.
struct process_end_hooks {
    // Set by the window thread's start: ends the process through the window
    // thread once the window exists (see runtime_exit); returns at once while
    // there is no window.
    void (*exit_through_window)(std::int32_t status);
    // Set by the terminal edition, which has no screen thread: the exit
    // sequence, which the program thread then runs itself when it parks.
    void (*exit_sequence_on_park)();
};
extern process_end_hooks process_end;   // set before the worker threads start; read by any thread

// The program's exit-query function: from now on the close button is the
// program's to handle. Returns close_request (1 close button, 2 break key,
// 3 both) and clears it.
std::int32_t exit_query();

// Stops the program thread for good: marks it parked and wakes the threads
// that wait for that (the exit sequence, a window pause). Never returns.
[[noreturn]] void park_program_thread();

// Ends the process with status, from any thread. With a window the window
// thread runs exit (the caller waits for the end of the process); without
// one exit runs here.
[[noreturn]] void runtime_exit(std::int32_t status);
