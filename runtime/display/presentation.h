// Presentation of software frames in the window (window thread).
#pragma once
#include <atomic>
#include <cstdint>

void display_callback();
void reshape_callback(int width, int height);
// Alt+Enter: steps the full-screen state (windowed, stretched, smooth, square pixels...).
void fullscreen_alt_enter_cycle();
// Restriction on the Alt+Enter cycle: 0 any mode, a positive value only that
// mode, a negative value makes Alt+Enter do nothing (the key handling tests it).
extern std::atomic<std::int32_t> fullscreen_allowed_mode;
