// Presentation of software frames in the window (window thread): the display
// and reshape callbacks. The window's size policy and full screen are in
// runtime/window/window_policy.h.
#pragma once
#include <atomic>
#include <cstdint>

// Presentation state (window thread, except where noted).
extern std::int32_t software_screen_hardware_frame;   // hardware image of the frame on screen
extern std::int64_t software_screen_texture_order;    // order of the frame whose pixels it holds
extern std::int64_t presented_order;                  // latest_frame_order at the last presentation
extern std::int32_t redraw_needed;       // present even without a new frame
extern std::atomic<std::int32_t> window_resized;   // -1 after a reshape, for the program
extern std::atomic<std::int32_t> reported_window_width, reported_window_height;   // size for the program

// Counts of presentations that drew (and swapped), and of those that showed a new frame.
extern std::atomic<std::int64_t> presentations;
extern std::atomic<std::int64_t> new_frames_presented;

// Positions of the hardware layer, the reserved layer and the second hardware
// layer in the drawing order (the software layer's is software_layer_position); 0 = not drawn.
extern std::atomic<std::int32_t> hardware_layer_position;
extern std::atomic<std::int32_t> reserved_layer_position;
extern std::atomic<std::int32_t> second_hardware_layer_position;

void display_callback();
// True when the display callback has something to present: a new frame, a
// redraw, a full-screen request, or hardware-layer commands. The window
// thread asks for a redisplay only then.
bool presentation_due();
// True when a frame was drawn or a pass ended since presentation_due last
// looked (the window thread then looks again before it rests).
bool presentation_news();
void reshape_callback(int width, int height);
// The window thread reports that X exposed (part of) the window: the next
// presentation draws even when nothing changed.
void presentation_exposed();
