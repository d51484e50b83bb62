// The window and the window thread: the process's main thread after
// start-up, which alone calls freeglut, X11 and OpenGL.
#pragma once
#include <X11/Xlib.h>
#include <atomic>
#include <cstdint>

// 1 once the window exists (start-up, main thread; read by any thread).
extern std::atomic<std::int32_t> window_created;
// GL_EXT_framebuffer_object present (window thread, at window_init).
extern std::int32_t fbo_supported;

// 1 after the program hid the window, 0 again after it showed it (program
// thread alone); while it is 1 END skips its key prompt.
extern std::atomic<std::int32_t> window_hidden;
// -1 while the mouse pointer is inside the window, 0 after it left (window
// thread; for the program).
extern std::atomic<std::int32_t> pointer_in_window;

// Lets the program thread borrow the X connection (the window thread makes
// no X call between window_pause and window_resume). The program thread
// parks when the exit begins before the window thread has paused.
// Handshake: the program thread sets the request and clears window_paused,
// the window thread sets window_paused and clears the request.
extern std::atomic<std::int32_t> window_pause_request;
extern std::atomic<std::int32_t> window_paused;
void window_pause();
void window_resume();

// The connection and window that the first X event came with (for the
// clipboard functions; window thread).
extern Display* x_event_display;
extern Window x_event_window;

// Opens the window "Untitled", the zoom times 640 x 400, and registers the
// callbacks. Ends the process with status 1 when the X display cannot be
// opened, a freeglut option lacks its value or -indirect asks for a context
// the display does not give (after one line on standard error each), or the
// display offers no usable display mode (silently).
void window_init(int argc, char** argv);
// Tells the window manager the sizes the window takes: whole multiples of
// the frame (minimum one frame, steps of one frame, the frame's aspect).
void window_size_hints_set(std::int32_t frame_width, std::int32_t frame_height);
// Full screen: the begin drops the step and aspect hints (the window may
// take a screen of any shape) and notes where the window stands; the end
// sets the hints again and puts the window back there.
void window_fullscreen_begin();
void window_fullscreen_end();

// Called for every X event, before freeglut dispatches it and after.
enum x_event_phase : std::int32_t { before_freeglut = 1, after_freeglut = 2 };
void x_event_hook(XEvent* event, Display* display, x_event_phase phase);
// What happened to the window: its close button was clicked (sets bit 0 of close_request).
enum window_event_code : std::int32_t { close_button_clicked = 1 };
void window_event(window_event_code code);
// The window thread's own work, done in every turn of its loop after the X
// events: the messages, the pause handshake, a redisplay when there is
// something to present. The loop then rests until there is work: an X event,
// or a wake-up for which window_work_waiting holds.
void window_idle_work();
bool window_work_waiting();
