// The renderer: the display page drawn into software frames.
#pragma once
#include <cstdint>

// One rendering pass of the display page into a software frame (screen
// thread; the window thread for a blink flip). Passes run one at a time.
void render_software_frame();

// Chooses the code that draws glyphs: 0 portable, 1 SSE2, 2 AVX2, or the
// best below level that the processor has; returns the level chosen. The
// renderer starts with the best; tests and benchmarks compare them.
std::int32_t select_glyph_drawing(std::int32_t level);
