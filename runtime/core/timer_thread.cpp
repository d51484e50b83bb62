// The timer thread: every millisecond it marks the ON TIMER timers whose
// interval has passed as due; the event check runs their handlers.
#include <cmath>

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/timing.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/event_traps.h"

std::atomic<std::int32_t> timer_thread_pause{0};

namespace {

bool timer_armed(const timer_trap& timer) {
    return timer.in_use && timer.id != 0 && timer.mode != 0 && timer.pending.load() == 0;
}

// Returns false when a pause was requested during the scan.
bool scan_timers() {
    const double now = static_cast<double>(clock_ms()) * 0.001;
    for (std::int32_t i = 0; i < timer_trap_count; ++i) {
        timer_trap& timer = timer_traps[i];
        if (timer_armed(timer)) {
            if (timer.last_expiry == 0) {
                timer.last_expiry = now;
            } else if (now - timer.last_expiry > timer.interval) {
                timer.last_expiry += timer.interval;
                if (std::fabs(now - timer.last_expiry) >= timer.interval) timer.last_expiry = now;   // periods missed
                timer.pending.store(1);
                pending_event.store(1);
            }
        }
        if (timer_thread_pause.load() == 1) return false;
    }
    return true;
}

}  // namespace

void timer_thread(void*) {
    for (;;) {
        for (;;) {
            std::int32_t requested = 1;
            timer_thread_pause.compare_exchange_strong(requested, 2);
            if (timer_thread_pause.load() != 0 || scan_timers()) break;
        }
        sleep_ms(1);
        if (exit_in_progress.load() != 0) break;
    }
    stopped_threads.fetch_or(2);
}
