// The timer thread: every millisecond it marks the ON TIMER timers whose
// interval has passed as due; the event check runs their handlers.
#include <cmath>

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/timing.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/event_traps.h"

std::atomic<std::int32_t> timer_thread_pause{0};

namespace {

// Counting at millisecond steps matters only while a timer runs; otherwise
// the thread looks as often as the exit sequence looks for it (16 ms).
constexpr std::uint32_t counting_step_ms = 1;
constexpr std::uint32_t resting_step_ms = 16;

bool timer_running(const timer_trap& timer) { return timer.in_use && timer.id != 0 && timer.mode != 0; }

enum class scan_result { none_running, counted, paused };

scan_result scan_timers() {
    const double now = static_cast<double>(clock_ms()) * 0.001;
    bool any_running = false;
    for (std::int32_t i = 0; i < timer_trap_count; ++i) {
        timer_trap& timer = timer_traps[i];
        if (timer_running(timer)) any_running = true;
        if (timer_running(timer) && timer.pending.load() == 0) {
            if (timer.last_expiry == 0) {
                timer.last_expiry = now;
            } else if (now - timer.last_expiry > timer.interval) {
                timer.last_expiry += timer.interval;
                if (std::fabs(now - timer.last_expiry) >= timer.interval) timer.last_expiry = now;   // periods missed
                timer.pending.store(1);
                pending_event.store(1);
            }
        }
        if (timer_thread_pause.load() == 1) return scan_result::paused;
    }
    return any_running ? scan_result::counted : scan_result::none_running;
}

}  // namespace

void timer_thread(void*) {
    for (;;) {
        scan_result scanned = scan_result::paused;
        while (scanned == scan_result::paused) {
            std::int32_t requested = 1;
            timer_thread_pause.compare_exchange_strong(requested, 2);
            if (timer_thread_pause.load() != 0) break;
            scanned = scan_timers();
        }
        const std::uint32_t seen = wake_signal_seen(timer_thread_wake);
        if (exit_in_progress.load() != 0) break;
        wake_signal_wait(timer_thread_wake, seen,
                         scanned == scan_result::none_running ? resting_step_ms : counting_step_ms);
        if (exit_in_progress.load() != 0) break;
    }
    stopped_threads.fetch_or(2);
    wake_signal_raise(screen_thread_wake);   // the exit sequence waits for this
}
