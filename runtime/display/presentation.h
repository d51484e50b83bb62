// Presentation of software frames in the window (window thread).
#pragma once

void display_callback();
void reshape_callback(int width, int height);
// Alt+Enter: steps the full-screen state (windowed, stretched, smooth, square pixels...).
void fullscreen_alt_enter_cycle();
