// Placeholder until presentation lands.
#include "runtime/display/presentation.h"

std::atomic<std::int32_t> fullscreen_allowed_mode{0};

void display_callback() {}
void reshape_callback(int, int) {}
void fullscreen_alt_enter_cycle() {}
