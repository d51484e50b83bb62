#include "runtime/core/process_state.h"

std::atomic<std::int32_t> program_started{0};
std::int32_t argument_count = 0;
char** argument_vector = nullptr;
