// The process entry of the terminal edition: the same run-time with the
// console option on.
#include "runtime/core/startup.h"

int main(int argc, char** argv) {
    console_option = 1;
    return runtime_main(argc, argv);
}
