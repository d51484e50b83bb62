// The window thread's event loop: the X connection's events, each handed to
// freeglut alone, and the rest between them.
#pragma once
#include <X11/Xlib.h>
#include <cstdint>

// The window thread's loop: never returns (the process ends through exit).
[[noreturn]] void window_event_loop();
// Called by window_init once the window exists: from here on every X event
// of the connection goes through the loop.
void event_loop_take_over(Display* display, Window window);

// True when X events wait for the loop, also those that Xlib read off the
// connection while it waited for a reply (the connection then looks idle).
// The loop asks before it rests.
bool event_loop_events_waiting();

// At the end of the process: the connection's events go to the event hook
// alone (freeglut sees none any more) until done() holds or the clock
// (clock_ms) reaches deadline.
void event_loop_serve_until(bool (*done)(), std::int64_t deadline);
