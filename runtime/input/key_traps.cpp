#include "runtime/input/key_traps.h"

bool key_trap_press(std::int32_t) { return false; }
bool key_trap_release(std::int32_t) { return false; }
