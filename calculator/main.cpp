// The process entry of the window edition.
#include "calculator/main_program.h"
#include "runtime/process/runtime_main.h"

int main(int argc, char** argv) { return runtime_main(argc, argv, program_main); }
