// How a picture drawn into the window's back buffer can reach the screen
// without a swap of the buffers (window thread).
//
// Where GLX offers GLX_MESA_copy_sub_buffer, a rectangle of the back buffer
// is copied to the window and the back buffer keeps the picture: a
// presentation may then redraw and send only what changed. A swap leaves
// the back buffer's content undefined, and only a swap lets it take a new
// window size.
#pragma once
#include <cstdint>

// True when rectangles of the back buffer can be shown without a swap.
bool window_keeps_back_buffer();
// Shows the back buffer's rectangle of window pixels from (left, top)
// (included) to (right, bottom) (not included); only where
// window_keeps_back_buffer() holds.
void window_present_area(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
