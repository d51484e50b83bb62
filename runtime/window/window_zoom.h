// The window's zoom: the whole number k by which the window enlarges the
// frame, each frame pixel a k x k block of window pixels. Chosen once at
// start-up (the zoom variable, else the desktop's Xft.dpi, else 1) and
// lowered until the window fits; when the user resizes the window it
// settles on the nearest whole step, which becomes the zoom.
#pragma once
#include <X11/Xlib.h>

#include <cstdint>

inline constexpr std::int32_t largest_zoom = 16;
inline constexpr const char* zoom_variable = "SPEKTRALRECHNER_ZOOM";

// The zoom in force (window thread; start-up sets it before the window opens).
extern std::int32_t window_zoom;
// The room the window must fit in: the monitor it opens on, within the
// desktop's work area; 0 x 0 when unknown (then nothing limits the zoom).
extern std::int32_t zoom_room_width, zoom_room_height;

// A monitor's rectangle on the screen, as XRandR lists it.
struct zoom_monitor {
    std::int32_t x, y, width, height;
    bool primary;
};
// Sets the room: of the count monitors (none: the screen, screen_width x
// screen_height) the one under the pointer (px, py), where window managers
// open a new window, else the primary one, else the first; cut to the work
// area (x, y, width, height; null when none is published) where they overlap.
// The work area of a desktop of several monitors spans them all.
void zoom_room_on(const zoom_monitor* monitors, int count, std::int32_t px, std::int32_t py, const long* area,
                  std::int32_t screen_width, std::int32_t screen_height);

// The zoom for the texts of the zoom variable and of the X resources (as in
// the RESOURCE_MANAGER property), either null when absent: the variable
// when it holds a whole number from 1 to largest_zoom, else Xft.dpi / 96
// rounded half up (an Xft.dpi that is no positive number counts as
// absent), else 1; lowered to fit the room. variable_unusable tells
// whether the variable was set but not to such a number.
std::int32_t zoom_chosen(const char* variable, const char* resources, std::int32_t frame_width,
                         std::int32_t frame_height, bool& variable_unusable);
// zoom, lowered until a frame of frame_width x frame_height fits the room; at least 1.
std::int32_t zoom_fitting(std::int32_t zoom, std::int32_t frame_width, std::int32_t frame_height);
// The zoom that a window resized to width x height settles on: the whole
// number nearest to the smaller of its ratios to the frame (half up), at
// least 1 and fitting the room.
std::int32_t zoom_settled(std::int32_t width, std::int32_t height, std::int32_t frame_width,
                          std::int32_t frame_height);

// Start-up, before the window opens: reads the room and the resources of
// display, chooses window_zoom for a frame of frame_width x frame_height
// and returns it. A variable that is set but unusable gets one warning line
// on standard error, headed by program.
std::int32_t zoom_choose(Display* display, const char* program, std::int32_t frame_width, std::int32_t frame_height);
