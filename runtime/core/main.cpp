// The process entry of every program built on the run-time.
#include "runtime/core/startup.h"

int main(int argc, char** argv) { return runtime_main(argc, argv); }
