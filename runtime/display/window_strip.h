// Putting rows of a frame straight into the window, past OpenGL (window
// thread). A software GL driver costs two round trips to the X server for
// every buffer swap; a frame that differs from the picture in the window
// only in a few rows (a blinking cursor, a typed character) goes to the
// window as one image request instead, which needs no answer and is never
// seen half done.
#pragma once
#include <cstdint>

// Puts rows first_row up to (not including) end_row of a frame of width
// pixels (0xAARRGGBB) into the window at the same place. False, having done
// nothing, when the window's visual does not take such pixels as they are.
bool window_put_rows(const std::uint32_t* pixels, std::int32_t width, std::int32_t first_row, std::int32_t end_row);
