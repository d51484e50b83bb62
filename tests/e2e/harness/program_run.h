// Starting a program under test and collecting how it ended.
#pragma once
#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

struct running_program {
    pid_t pid = -1;
    std::string output_directory;   // holds the captured stdout and stderr
    std::chrono::steady_clock::time_point started;
};

struct program_result {
    bool finished = false;   // ended before the time-out (else it was killed)
    int exit_status = -1;    // the status of a normal exit, else -1
    int signal = 0;          // the signal that ended it, else 0
    std::string out, err;
};

// Starts path with the arguments in the working directory (empty: the
// test's), with this process's environment changed by the entries
// "NAME=value" (set) and "NAME" (removed).
running_program program_start(const std::string& path, const std::vector<std::string>& arguments,
                              const std::vector<std::string>& environment_changes,
                              const std::string& working_directory = "");

// Waits until timeout_seconds after the start for the program to end, and
// kills it (SIGKILL) then.
program_result program_wait(running_program& program, double timeout_seconds);

// What the program has written to stdout so far.
std::string program_output_so_far(const running_program& program);

// Waits up to timeout_seconds for text to appear in the program's stdout.
bool program_reports(const running_program& program, const std::string& text, double timeout_seconds = 10);
