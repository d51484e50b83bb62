// The process entry of every program built on the run-time.
#include "runtime/core/command_line_options.h"
#include "runtime/core/startup.h"

int main(int argc, char** argv) {
    if (const int status = program_command_line_mode(argc, argv); status >= 0) return status;   // --table, --plot
    return runtime_main(argc, argv);
}
