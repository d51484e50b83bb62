// How the window follows the frame (in whole steps of the frame's size):
// its size policy and the Alt+Enter cycle of full-screen modes.
#pragma once
#include <atomic>
#include <cstdint>

// The window's size as the policy sees it (window thread).
extern std::int32_t window_width, window_height;      // client size from the last reshape
extern std::int32_t previous_window_width, previous_window_height;
extern std::int32_t policy_frame_width, policy_frame_height;
extern float frame_aspect;
extern float accepted_aspect;
extern std::int32_t reshape_pending;     // a reshape was requested and has not arrived
extern std::int32_t follow_frame_size;   // 1: the window takes the frame's size
extern std::int32_t resize_scaling;      // with follow_frame_size 0: 0 unscaled, 1 scaled, 2 smooth

// Full screen. Written by the key handling (window thread) and the program, read by presentation.
extern std::atomic<std::int32_t> fullscreen_mode;      // 0 windowed, 1 stretched, 2 square pixels
extern std::atomic<std::int32_t> fullscreen_request;   // mode asked for, -1 none
extern std::atomic<std::int32_t> fullscreen_smooth;    // filter the scaled picture linearly
// Restrictions on Alt+Enter. Mode: 0 any, > 0 only that mode, < 0 Alt+Enter
// does nothing (the key handling then passes the key on). Smoothing: 0 any,
// 1 only smooth, -1 never smooth.
extern std::atomic<std::int32_t> fullscreen_allowed_mode;
extern std::atomic<std::int32_t> fullscreen_allowed_smooth;

// Alt+Enter: steps the full-screen state (windowed, stretched, smooth, square
// pixels, square pixels smooth, windowed), skipping states the allowed
// settings rule out. The key handling calls it when fullscreen_allowed_mode >= 0.
void fullscreen_alt_enter_cycle();
// The window policy for a frame of frame_width x frame_height: decides
// whether the window must be reshaped and to what size (false: leave it).
bool window_policy(std::int32_t frame_width, std::int32_t frame_height, std::int32_t& new_width,
                   std::int32_t& new_height);
