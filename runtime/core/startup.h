// State that start-up sets and the rest of the run-time reads.
#pragma once
#include <atomic>
#include <cstdint>

struct str_desc;

extern std::atomic<std::int32_t> window_created;   // 1 after window_init
extern std::int32_t fbo_supported;                 // GL_EXT_framebuffer_object present
extern std::atomic<std::int32_t> program_started;  // 1 after the worker threads started
extern str_desc* startup_directory;
extern str_desc* command_line;
extern std::int32_t argument_count;
extern char** argument_vector;

// The compiled BASIC program: its main routine, run on the program thread
// after the prologue. Defined by the program (the calculator, or a test program).
void program_main();

// Everything main does: prepares the run-time, opens the window, starts the
// threads and becomes the window thread. Does not return in practice.
int runtime_main(int argc, char** argv);

// The first actions of the program thread before the program's first
// statement: x87 control word 0x37F and the SIGFPE handler (error 11).
void program_thread_prologue();
