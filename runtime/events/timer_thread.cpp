// The timer thread: marks the ON TIMER timers whose interval has passed as
// due; the event check runs their handlers. It sleeps until the next expiry
// of a running timer, and while none runs until the timer table changes.
#include "runtime/events/timer_thread.h"

#include <cmath>

#include "runtime/core/program_end.h"
#include "runtime/core/threads.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/events/event_check.h"
#include "runtime/events/event_traps.h"

std::atomic<std::int32_t> timer_thread_pause{0};

namespace {

bool timer_running(const timer_trap& timer) { return timer.in_use && timer.id != 0 && timer.mode != 0; }

// The clock_ms at which a timer last expired at last_expiry seconds is due again.
std::int64_t due_at(const timer_trap& timer) {
    return static_cast<std::int64_t>(std::floor((timer.last_expiry + timer.interval) * 1000)) + 1;
}

// Marks the timers that are due; next_expiry becomes the earliest time at
// which a running timer that is not pending falls due. False when a pause
// was asked for during the scan.
bool scan_timers(std::int64_t& next_expiry) {
    const std::int64_t now_ms = clock_ms();
    const double now = static_cast<double>(now_ms) * 0.001;
    for (std::int32_t i = 0; i < timer_trap_count; ++i) {
        timer_trap& timer = timer_traps[i];
        if (timer_running(timer) && timer.pending.load() == 0) {
            if (timer.last_expiry == 0) {
                timer.last_expiry = now;
            } else if (now - timer.last_expiry > timer.interval) {
                timer.last_expiry += timer.interval;
                if (std::fabs(now - timer.last_expiry) >= timer.interval) timer.last_expiry = now;   // periods missed
                timer.pending.store(1);
                pending_event.store(1);
            }
            if (timer.pending.load() == 0 && due_at(timer) < next_expiry)
                next_expiry = due_at(timer) > now_ms ? due_at(timer) : now_ms + 1;
        }
        if (timer_thread_pause.load() == 1) return false;
    }
    return true;
}

}  // namespace

void timer_table_change_begin() {
    if (stopped_threads.load() & 2) return;   // no timer thread runs
    std::int32_t running = 0;
    timer_thread_pause.compare_exchange_strong(running, 1);
    wake_signal_raise(timer_thread_wake);
    if (wait_on(program_thread_wake, [] { return timer_thread_pause.load() == 2; }) == wait_end::exit)
        park_program_thread();
}

void timer_table_change_end() {
    timer_thread_pause.store(0);
    timer_table_changed();
    bool any_running = false;
    for (std::int32_t i = 0; i < timer_trap_count; ++i) any_running = any_running || timer_running(timer_traps[i]);
    if ((stopped_threads.load() & 2) == 0 || !any_running || exit_in_progress.load() != 0) return;
    stopped_threads.fetch_and(~2u);   // none ran (the terminal edition starts none at first): one does now
    if (!thread_start(timer_thread, nullptr)) stopped_threads.fetch_or(2);
}

void timer_thread(void*) {
    thread_name_set("timer");
    for (;;) {
        const std::uint32_t changes = timer_table_changes.load();
        std::int32_t requested = 1;
        if (timer_thread_pause.compare_exchange_strong(requested, 2)) wake_signal_raise(program_thread_wake);
        std::int64_t next_expiry = no_deadline;
        if (timer_thread_pause.load() == 0 && !scan_timers(next_expiry)) continue;   // answered at once
        const auto table_changed = [changes] {
            return timer_thread_pause.load() == 1 || timer_table_changes.load() != changes;
        };
        if (wait_on(timer_thread_wake, table_changed, next_expiry) == wait_end::exit) break;
    }
    stopped_threads.fetch_or(2);
    wake_signal_raise(screen_thread_wake);   // the exit sequence waits for this
}
