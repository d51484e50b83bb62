// Presentation of software frames in the window (window thread): the display
// and reshape callbacks, the window policy and full-screen switching.
#pragma once
#include <atomic>
#include <cstdint>

// Presentation state (window thread, except where noted).
extern std::int32_t software_screen_hardware_frame;   // hardware image of the frame on screen
extern std::int64_t software_screen_texture_order;    // order of the frame whose pixels it holds
extern std::int64_t presented_order;                  // latest_frame_order at the last presentation
extern std::int32_t window_width, window_height;      // client size from the last reshape
extern std::int32_t previous_window_width, previous_window_height;
extern std::int32_t policy_frame_width, policy_frame_height;
extern float frame_aspect;
extern float accepted_aspect;
extern std::int32_t reshape_pending;     // a reshape was requested and has not arrived
extern std::int32_t redraw_needed;       // present even without a new frame
extern std::int32_t follow_frame_size;   // 1: the window takes the frame's size
extern std::int32_t resize_scaling;      // with follow_frame_size 0: 0 unscaled, 1 scaled, 2 smooth
extern std::atomic<std::int32_t> window_resized;   // -1 after a reshape, for the program
extern std::atomic<std::int32_t> reported_window_width, reported_window_height;   // size for the program

// Full screen. Written by the key handling (window thread) and the program, read here.
extern std::atomic<std::int32_t> fullscreen_mode;      // 0 windowed, 1 stretched, 2 square pixels
extern std::atomic<std::int32_t> fullscreen_request;   // mode asked for, -1 none
extern std::atomic<std::int32_t> fullscreen_smooth;    // filter the scaled picture linearly
// Restrictions on Alt+Enter. Mode: 0 any, > 0 only that mode, < 0 Alt+Enter
// does nothing (the key handling then passes the key on). Smoothing: 0 any,
// 1 only smooth, -1 never smooth.
extern std::atomic<std::int32_t> fullscreen_allowed_mode;
extern std::atomic<std::int32_t> fullscreen_allowed_smooth;

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
// Alt+Enter: steps the full-screen state (windowed, stretched, smooth, square
// pixels, square pixels smooth, windowed), skipping states the allowed
// settings rule out. The key handling calls it when fullscreen_allowed_mode >= 0.
void fullscreen_alt_enter_cycle();

// The window policy for a frame of frame_width x frame_height: decides
// whether the window must be reshaped and to what size (false: leave it).
bool window_policy(std::int32_t frame_width, std::int32_t frame_height, std::int32_t& new_width,
                   std::int32_t& new_height);
