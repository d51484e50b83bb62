// Where ON KEY traps and KEY strings take keys before they reach the stores.
//
// Those statements are not part of this run-time yet, so nothing is ever
// trapped. When they arrive: key_trap_press counts the trap (the waiting
// count of its record in on_key_traps, runtime/events/event_traps.h) (or feeds the
// KEY string through key_down and key_up one character at a time), remembers
// the code (at most 256) and returns true; key_trap_release forgets a
// remembered code and returns true, so that its release is swallowed too.
#pragma once
#include <cstdint>

bool key_trap_press(std::int32_t code);
bool key_trap_release(std::int32_t code);
