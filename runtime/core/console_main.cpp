// The process entry of the terminal edition: the same run-time with the
// console option on.
#include "runtime/core/command_line_options.h"
#include "runtime/core/startup.h"

int main(int argc, char** argv) {
    if (const int status = program_command_line_mode(argc, argv); status >= 0) return status;   // --table, --plot
    return console_runtime_main(argc, argv);
}
