// Putting rows of a frame straight into the window, past OpenGL (window
// thread). A software GL driver costs two round trips to the X server for
// every buffer swap and sends the picture in several requests, so that
// another client can read the window half drawn; a frame shown alone goes
// to the window as one image request instead (only the rows that differ
// from the picture there, for a blinking cursor or a typed character),
// which needs no answer and is never seen half done.
#pragma once
#include <cstdint>

// Puts rows first_row up to (not including) end_row of a frame of width
// pixels (0xAARRGGBB) into the window at the same place. False, having done
// nothing, when the window's visual does not take such pixels as they are.
bool window_put_rows(const std::uint32_t* pixels, std::int32_t width, std::int32_t first_row, std::int32_t end_row);
