// The process entry of the window edition.
#include "calculator/command_line_modes.h"
#include "calculator/main_program.h"
#include "runtime/process/runtime_main.h"

int main(int argc, char** argv) {
    if (const int status = program_command_line_mode(argc, argv); status >= 0) return status;   // --table, --plot
    return runtime_main(argc, argv, program_main);
}
