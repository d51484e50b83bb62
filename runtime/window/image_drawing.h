// Drawing rectangles of hardware images into the window or into other
// hardware images (window thread). Rectangles are batched as triangles.
#pragma once
#include <cstdint>

// Draws source rectangle (sx1, sy1)-(sx2, sy2) of image source into the
// destination rectangle (x1, y1)-(x2, y2), corners inclusive; x2 < x1 or
// y2 < y1 mirrors the picture. Destination <= 0 is the window, in frame
// pixels carried through the window mapping; > 0 is a hardware image.
void draw_hardware_img(float x1, float y1, float x2, float y2, std::int32_t source, std::int32_t destination,
                       float sx1, float sy1, float sx2, float sy2, std::int32_t blend, std::int32_t smooth);

// The same into the window, in window pixels (not mapped).
void draw_hardware_img_window_pixels(float x1, float y1, float x2, float y2, std::int32_t source, float sx1,
                                     float sy1, float sx2, float sy2, std::int32_t blend, std::int32_t smooth);

// Copies the pixels from (left, top) (included) to (right, bottom) (not
// included) of an image into the window, the image's top-left corner at
// window pixel (x, y) and each pixel a zoom x zoom block, without drawing
// anything (a framebuffer blit, which software GL carries out as a plain
// copy when zoom is 1). False when the driver has no blit or the image's
// texture is not of its own size; nothing is done then.
bool copy_hardware_img_to_window(std::int32_t source, std::int32_t x, std::int32_t y, std::int32_t zoom,
                                 std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
