#include "runtime/errors/event_traps.h"

key_trap on_key_traps[on_key_trap_count] = {};

key_trap* device_button_traps = nullptr;
std::int32_t device_button_trap_count = 0;

static timer_trap first_timer_traps[1] = {};
timer_trap* timer_traps = first_timer_traps;
std::int32_t timer_trap_count = 1;

std::atomic<std::int32_t> key_activity{0};
