// The process entry of the terminal edition: the same run-time with the
// console option on.
#include "runtime/core/startup.h"

int main(int argc, char** argv) { return console_runtime_main(argc, argv); }
