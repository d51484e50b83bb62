// Putting a rectangle of a frame straight into the window as one core X
// image request, enlarged by a whole number on the CPU (window thread).
//
// A GL presentation with a software driver sends the picture through shared
// memory and then waits for the X server's answer before it may reuse that
// memory; an image request is sent and not answered. A picture that the
// window already shows and that changed in a few cells (a blinking cursor, a
// typed character) goes this way, so that showing it costs no wait and no GL
// call at any zoom.
#pragma once
#include <cstdint>

// Puts the pixels of a frame of frame_width x frame_height (0xAARRGGBB, rows
// top to bottom) from (left, top) (included) to (right, bottom) (not included), each
// repeated zoom times across and down, into the window current on this
// thread at (zoom * left, zoom * top), and flushes the request. False,
// having done nothing, when the window's visual does not show such words as
// they are, or when a GL presentation of the whole window costs less (a
// large change at zoom 1).
bool window_put_frame_area(const std::uint32_t* pixels, std::int32_t frame_width, std::int32_t frame_height,
                           std::int32_t zoom, std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom);
