#include "runtime/core/timing.h"

#include <cmath>

#include "runtime/core/emulated_memory.h"
#include "runtime/core/sleep.h"

std::atomic<std::int64_t> retrace_latch{0};

namespace {

constexpr std::int64_t day_ms = 86400000;
constexpr double ticks_per_ms = 0.0182;

}  // namespace

double timer_at(std::uint64_t time_of_day, double steps_per_second) {
    const double seconds = static_cast<double>(time_of_day) / 1000;
    const long double steps = std::nearbyint(static_cast<long double>(seconds) * steps_per_second);
    if (!(steps < 18446744073709551616.0L)) return seconds;   // a step too fine to count
    return static_cast<double>(static_cast<std::uint64_t>(steps)) / steps_per_second;
}

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
