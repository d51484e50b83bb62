#include "runtime/events/event_traps.h"

#include "runtime/core/wake_signal.h"

key_trap on_key_traps[on_key_trap_count] = {};

key_trap* device_button_traps = nullptr;
std::int32_t device_button_trap_count = 0;

static timer_trap first_timer_traps[1] = {};
timer_trap* timer_traps = first_timer_traps;
std::int32_t timer_trap_count = 1;

std::atomic<std::int32_t> key_activity{0};
std::atomic<std::uint32_t> timer_table_changes{0};

void timer_table_changed() {
    timer_table_changes.fetch_add(1);
    wake_signal_raise(timer_thread_wake);
}
