// The process entry of the terminal edition: the same run-time with the
// console option on.
#include "calculator/main_program.h"
#include "runtime/process/runtime_main.h"

int main(int argc, char** argv) { return console_runtime_main(argc, argv, program_main); }
