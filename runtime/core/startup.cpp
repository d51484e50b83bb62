#include "runtime/core/startup.h"

#include <cstdio>

std::atomic<std::int32_t> window_created{0};
std::int32_t fbo_supported = 0;
std::atomic<std::int32_t> program_started{0};
str_desc* startup_directory = nullptr;
str_desc* command_line = nullptr;
std::int32_t argument_count = 0;
char** argument_vector = nullptr;

int runtime_main(int argc, char** argv) {
    argument_count = argc;
    argument_vector = argv;
    std::fprintf(stderr, "The calculator is not complete yet.\n");
    return 0;
}
