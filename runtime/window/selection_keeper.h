// The copied text outlives the program: a small process of ours, started
// from our own executable, keeps serving it for PRIMARY and CLIPBOARD until
// other programs own both or the display connection ends.
#pragma once
#include <X11/Xlib.h>

#include <cstdint>
#include <string>

// The environment variable that starts the executable as the keeper; its
// value holds the selection bits to keep, the text comes on descriptor 3.
inline constexpr const char* selection_keeper_variable = "RUNTIME_SELECTION_KEEPER";

// Starts the keeper for the selections in bits (of x_selection.h) with the
// text, and waits until it owns them or the clock (clock_ms) reaches deadline.
void selection_keeper_start(Display* display, unsigned bits, const std::string& text, std::int64_t deadline);

// The keeper's whole life, when the environment asks for it (before any
// other start-up); returns only when it does not.
void selection_keeper_run_if_asked();
