// What start-up computes from the process's arguments and directories.
#pragma once
#include <cstdint>

struct str_desc;

// Permanent strings set by start-up (main thread) before the program runs;
// read by the program.
extern str_desc* startup_directory;
extern str_desc* command_line;
// The console option: 1 in the terminal edition (console_runtime_main), where
// the console image is the write and display page instead of a window: PRINT
// goes to standard output, INPUT reads standard input. Set before anything else.
extern std::int32_t console_option;

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
