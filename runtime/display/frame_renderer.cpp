// Placeholder until the renderer lands.
#include "runtime/display/software_frame.h"

void render_software_frame() {}
