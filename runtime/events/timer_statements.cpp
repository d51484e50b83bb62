// TIMER and the waiting statements, which run the event check while they wait.
#include "runtime/events/timer_statements.h"

#include <cmath>

#include "runtime/core/sleep.h"
#include "runtime/core/timing.h"
#include "runtime/errors/errors.h"
#include "runtime/events/event_check.h"

double limit_deadline = 0;

namespace {

constexpr double default_steps_per_second = 18.2;
constexpr double longest_delay = 2147483.647;   // seconds
constexpr double longest_period = 60000;        // ms
constexpr double late_allowance = 32;           // ms

// Sleeps toward the end of a wait: all of it when at most 9 ms are left,
// else 9 ms followed by an event check. Returns true when it slept the rest.
bool sleep_toward(std::int64_t left) {
    if (left < 1) left = 1;
    if (left <= 9) {
        sleep_ms(static_cast<std::uint32_t>(left));
        return true;
    }
    sleep_ms(9);
    event_check(0, 0, nullptr);
    return false;
}

}  // namespace

double timer_value(double accuracy, std::int32_t accuracy_given) {
    if (pending_error.load() != 0) return 0;
    if (!accuracy_given) return static_cast<float>(timer_at(time_of_day_ms(), default_steps_per_second));
    if (!(accuracy > 0)) {
        raise_error(5);
        return 0;
    }
    return timer_at(time_of_day_ms(), 1 / accuracy);
}

void delay_seconds(double seconds) {
    if (pending_error.load() != 0) return;
    if (!(seconds >= 0 && seconds <= longest_delay)) {
        raise_error(5);
        return;
    }
    const double total = 1000 * seconds;
    std::int64_t start = clock_ms();
    std::int64_t waited = 0;
    for (;;) {
        const std::int64_t now = clock_ms();
        if (now - start < 0) start = now - waited;   // the clock went back: keep what was waited
        waited = now - start;
        if (static_cast<double>(waited) >= total) return;
        if (sleep_toward(static_cast<std::int64_t>(total - static_cast<double>(waited)))) return;
    }
}

std::int64_t limit_rate(double rate) {
    if (pending_error.load() != 0) return 0;
    const double period = 1000 / rate;
    if (!(rate > 0) || !(period <= longest_period)) {
        raise_error(5);
        return 0;
    }
    for (;;) {
        const double now = static_cast<double>(clock_ms());
        if (limit_deadline == 0 || limit_deadline > now) {   // first call, or the clock went back
            limit_deadline = now;
            return 0;
        }
        const double elapsed = now - limit_deadline;
        if (elapsed >= period && elapsed <= period + late_allowance) {
            limit_deadline += period;   // on time or a little late: the schedule holds
            return 0;
        }
        if (elapsed > period + late_allowance) {
            limit_deadline = now;   // too late: a new schedule from now
            return 0;
        }
        sleep_toward(static_cast<std::int64_t>(period - elapsed));
    }
}
