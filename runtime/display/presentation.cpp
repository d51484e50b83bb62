// Placeholder until presentation lands.
#include "runtime/display/presentation.h"

void display_callback() {}
void reshape_callback(int, int) {}
void fullscreen_alt_enter_cycle() {}
