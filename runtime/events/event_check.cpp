// The event check that runs between statements when the pending-event flag
// is set: hold while paused, park when the process is ending, report a
// recorded error, otherwise run the due event traps.
#include "runtime/events/event_check.h"
#include "runtime/events/unhandled_error_dialog.h"

#include "runtime/core/program_end.h"
#include "runtime/core/timing.h"
#include "runtime/core/wake_signal.h"
#include "runtime/events/event_traps.h"

std::atomic<std::uint8_t> pause_flag{0};
std::uint32_t error_line = 0;
std::uint32_t error_include_line = 0;
const char* error_include_file = nullptr;

void event_check(std::uint32_t line, std::uint32_t include_line, const char* include_file) {
    pending_event.store(0);
    // Held while paused; the key that ends a pause, or the exit, wakes the wait.
    if (wait_on(program_thread_wake, [] { return pause_flag.load() == 0 && exit_in_progress.load() == 0; }) ==
        wait_end::exit)
        park_program_thread();
    if (pending_error.load() != 0) {
        error_line = line;
        error_include_line = include_line;
        error_include_file = include_file;
        unhandled_error_dialog();
        return;
    }
    dispatch_event_traps();
}

namespace {

bool key_trap_due(const key_trap& trap) {
    return trap.in_use && trap.id != 0 && trap.mode == 1 && !trap.busy && trap.waiting.load() > 0;
}

// Runs one event of a due device-button or key trap; its busy flag keeps
// the handler's own event checks from entering it again.
void run_key_trap(key_trap& trap) {
    trap.busy = 1;
    trap.waiting.fetch_sub(1);
    if (trap.handler) trap.handler();
    trap.busy = 0;
}

// Finds the first due trap of the device buttons, then of ON KEY 1 to 31.
key_trap* first_due_key_trap() {
    for (std::int32_t i = 0; i < device_button_trap_count; ++i)
        if (key_trap_due(device_button_traps[i])) return &device_button_traps[i];
    for (int i = 1; i < on_key_trap_count; ++i)
        if (key_trap_due(on_key_traps[i])) return &on_key_traps[i];
    return nullptr;
}

}  // namespace

void dispatch_event_traps() {
    // After every handler the scan starts again from the first device.
    while (key_trap* trap = first_due_key_trap()) run_key_trap(*trap);

    for (std::int32_t i = 0; i < timer_trap_count; ++i) {
        timer_trap& timer = timer_traps[i];
        if (!timer.in_use || timer.id == 0 || timer.mode != 1 || timer.pending.load() != 1) continue;
        timer.pending.store(2);
        if (timer.handler) timer.handler();
        timer.pending.store(0);
        timer_table_changed();   // its next expiry
        key_activity.store(1);  // ends a running SLEEP
    }
}
