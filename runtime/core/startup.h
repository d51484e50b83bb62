// State that start-up sets and the rest of the run-time reads.
#pragma once
#include <atomic>
#include <cstdint>

#include "runtime/core/threads.h"

struct str_desc;
struct handle_list;

extern std::atomic<std::int32_t> window_created;   // 1 after window_init
extern std::int32_t fbo_supported;                 // GL_EXT_framebuffer_object present
extern std::atomic<std::int32_t> program_started;  // 1 after the worker threads started
extern str_desc* startup_directory;
extern str_desc* command_line;
extern std::int32_t argument_count;
extern char** argument_vector;
// The console option: 1 in the terminal edition (console_runtime_main), where
// the console image is the write and display page instead of a window: PRINT
// goes to standard output, INPUT reads standard input.
extern std::int32_t console_option;

// Lists made at start-up for the stream, connection and network statements.
inline constexpr std::int64_t special_handle_record_size = 16;
inline constexpr std::int64_t network_record_size = 40;
extern handle_list* special_handles;   // closed by CLOSE without arguments
extern handle_list* network_lists[2];

// The compiled BASIC program: its main routine, run on the program thread
// after the prologue. Defined by the program (the calculator, or a test program).
void program_main();

// Everything main does: prepares the run-time, opens the window, starts the
// threads and becomes the window thread. Does not return in practice.
int runtime_main(int argc, char** argv);
// The same for the terminal edition: sets the console option and makes the
// console image instead of the window, and runs the program on the main
// thread, which ends the process. Nothing it reaches needs a display.
int console_runtime_main(int argc, char** argv);

// Start-up up to the window: tables, strings, directories, command line,
// keyboard buffer, fonts and palettes, SCREEN 0 and the input devices. An
// error recorded on the way is pending afterwards, with the screen in place.
void runtime_prepare(int argc, char** argv);

// Starts the program thread and the timer thread, sets program_started and
// starts the screen thread, each through start. When one cannot be started
// an alert names it and the process ends with status 1.
using thread_starter = thread_handle* (*)(thread_entry entry, void* argument);
void workers_start(thread_starter start);
// The handles of the program, timer and screen threads.
extern thread_handle* worker_threads[3];

// The first actions of the program thread before the program's first
// statement: x87 control word 0x37F and the SIGFPE handler (error 11).
void program_thread_prologue();

// The entries of the worker threads (argument unused).
void program_thread(void*);
void timer_thread(void*);
void screen_thread(void*);

// What start-up stores in startup_directory and command_line, as
// zero-terminated heap text. The working directory is read into a buffer
// that starts at 512 bytes and grows by 512; it is "" when it cannot be
// read (deleted, or not searchable). Without memory for the buffer the
// result is null and error 7 is recorded.
char* working_directory_text();
// argv[1] to argv[argc - 1] joined with single spaces, unquoted; "" for argc < 2.
char* command_line_text(int argc, char** argv);
// Makes the directory of the running executable the working directory;
// false when it cannot (the directory stays as it was).
bool change_to_executable_directory();
