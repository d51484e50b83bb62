// The window mapping: where the frame's pixels land in the window, scaled,
// letterboxed or at their own size in the top-left corner.
#pragma once
#include <cstdint>

struct window_mapping {
    std::int32_t offset_x, offset_y;   // window pixel of the frame's top-left corner
    std::int32_t right, bottom;        // last window pixels covered, inclusive
    float scale_x, scale_y;            // window pixels per frame pixel
    std::int32_t display_width, display_height;   // window pixels covered
    std::int32_t bars;                 // 0 none, 1 left and right, 2 top and bottom
    std::int32_t smooth;               // filter the software layer linearly
};

// The mapping of the current presentation (window thread).
extern window_mapping current_mapping;

// Mapping of a frame_width x frame_height frame into a window_width x
// window_height window. fullscreen_mode: 0 windowed, 1 stretched, 2 square
// pixels; resize_scaling (windowed only): 0 unscaled, 1 scaled, 2 smooth.
// Windowed and not scaled to the window, the frame is enlarged zoom times
// (each pixel a zoom x zoom block) in the top-left corner.
window_mapping compute_window_mapping(std::int32_t frame_width, std::int32_t frame_height,
                                      std::int32_t window_width, std::int32_t window_height,
                                      std::int32_t fullscreen_mode, std::int32_t fullscreen_smooth,
                                      std::int32_t resize_scaling, std::int32_t zoom);

struct pixel_rectangle {
    std::int32_t left, top, right, bottom;   // inclusive
};

// A rectangle of frame pixels (corners inclusive, in any order) in window pixels.
pixel_rectangle map_frame_rectangle(const window_mapping& mapping, float x1, float y1, float x2, float y2);

// The black bars beside a letterboxed picture, in window pixels; returns how
// many (0 to 2).
int bar_rectangles(const window_mapping& mapping, std::int32_t window_width, std::int32_t window_height,
                   pixel_rectangle bars[2]);

// Texture coordinates of the edges of source pixels first..last (last < first
// mirrors) in a texture of texture_size pixels: a hundredth of a pixel inside.
void texture_edges(float first, float last, std::int32_t texture_size, float& near_edge, float& far_edge);
