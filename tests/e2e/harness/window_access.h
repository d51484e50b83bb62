// What a test does with a program's window, as a user or a window manager
// would: find it, place it, focus it, close it, and read its pixels.
#pragma once
#include <X11/Xlib.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Waits until check() holds, polling every 5 ms; false after timeout_seconds.
bool wait_until(const std::function<bool()>& check, double timeout_seconds);

// The first top-level window titled title, waiting up to timeout_seconds; 0 when none appears.
Window window_find(Display* display, const std::string& title, double timeout_seconds);

struct window_geometry {
    int x = 0, y = 0, width = 0, height = 0;
    bool mapped = false;
};
window_geometry window_geometry_of(Display* display, Window window);
bool window_exists(Display* display, Window window);

// Moves the window to (0, 0), raises it and gives it the input focus.
// (Without a window manager a new freeglut window sits at (-1, -1), one
// pixel off-screen, and focus follows the pointer.)
void window_move_to_origin_and_focus(Display* display, Window window);

// What a window manager sends when the user clicks the close button: a
// WM_PROTOCOLS ClientMessage carrying WM_DELETE_WINDOW.
void window_send_delete(Display* display, Window window);

// The window's pixels as 0x00RRGGBB words, row by row from the top; empty
// (and width, height 0) when the window cannot be read.
std::vector<std::uint32_t> window_pixels(Display* display, Window window, int& width, int& height);
