// Placeholder until the GL state cache lands; the state is final.
#include "runtime/display/render_state.h"

render_state_cache render_state{-1, -1, 0, -1, -1, -1, nullptr};
vertex_batch batch{nullptr, 0, 1, nullptr, 0, 1};

void render_state_reset() { render_state = {-1, -1, 0, -1, -1, -1, nullptr}; }
