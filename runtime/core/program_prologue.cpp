// Placeholder until the prologue lands.
#include "runtime/core/startup.h"

void program_thread_prologue() {}
