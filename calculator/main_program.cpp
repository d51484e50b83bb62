// The calculator program: dialogue, computation and END.
#include "runtime/core/startup.h"

void program_main() {}
