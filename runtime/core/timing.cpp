#include "runtime/core/timing.h"

#include <cmath>

#include "runtime/core/emulated_memory.h"
#include "runtime/core/sleep.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/event_check.h"

std::atomic<std::int64_t> retrace_latch{0};
double limit_deadline = 0;

namespace {

constexpr std::int64_t day_ms = 86400000;
constexpr double ticks_per_ms = 0.0182;
constexpr double default_steps_per_second = 18.2;
constexpr double longest_delay = 2147483.647;   // seconds
constexpr double longest_period = 60000;        // ms
constexpr double late_allowance = 32;           // ms

// TIMER at a given time of day: the seconds counted in whole steps of
// 1 / steps_per_second, the product rounded to nearest in extended precision.
double timer_at(std::uint64_t time_of_day, double steps_per_second) {
    const double seconds = static_cast<double>(time_of_day) / 1000;
    const long double steps = std::nearbyint(static_cast<long double>(seconds) * steps_per_second);
    if (!(steps < 18446744073709551616.0L)) return seconds;   // a step too fine to count
    return static_cast<double>(static_cast<std::uint64_t>(steps)) / steps_per_second;
}

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

std::uint32_t bios_ticks_at(std::int64_t time_of_day) {
    const std::int64_t ms = time_of_day % day_ms;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(static_cast<double>(ms) * ticks_per_ms));
}

void bios_tick_update() {
    // Millisecond TIMER, computed even while an error is pending.
    const double seconds = timer_at(time_of_day_ms(), 1 / 0.001);
    const std::uint32_t ticks = bios_ticks_at(static_cast<std::int64_t>(seconds * 1000));
    for (int i = 0; i < 3; ++i) emulated_address(bios_tick_count + i)[0] = static_cast<std::uint8_t>(ticks >> (8 * i));
}

std::int32_t video_status_port_read() {
    const std::int64_t now = clock_ms();
    const std::int64_t retraces_begun = (now + 1) / display_period_ms;
    const bool in_retrace = now % display_period_ms == display_period_ms - 1;
    const bool latched = retrace_latch.exchange(retraces_begun) < retraces_begun;
    return latched || in_retrace ? 8 : 0;
}

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
