// The BIOS tick, the retrace bit and the delay service, on the test clock
// (it moves only when the test or a sleep advances it).
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ctime>

#include "runtime/core/emulated_memory.h"
#include "runtime/core/sleep.h"
#include "runtime/core/timing.h"
#include "runtime/errors/errors.h"
#include "runtime/events/timer_statements.h"

namespace {

constexpr std::uint64_t hours = 3600000;

// Both are computed from the clock when read; no thread keeps them current.
TEST(Timing, BiosTickAndRetraceBitFollowTheClockWhenRead) {
    emulated_address(bios_tick_count)[3] = 0xAB;
    manual_clock_start(1000, 1 * hours);
    pending_error = 5;   // the tick counts even while an error waits for its dialogue
    const auto tick = [] { return emulated_peek(0x46C) | emulated_peek(0x46D) << 8 | emulated_peek(0x46E) << 16; };
    EXPECT_EQ(tick(), 65520);
    pending_error = 0;
    EXPECT_EQ(emulated_peek(0x46F), 0xAB);
    manual_clock_advance(1000);
    EXPECT_EQ(tick(), 65538);
    // Bit 3: in the last millisecond of every 16, and once for a retrace no read saw.
    for (const auto& [advance, status] : {std::pair{0, 8}, {0, 0}, {14, 0}, {1, 8}, {0, 8}, {1, 0}, {32, 8}, {0, 0}}) {
        manual_clock_advance(advance);
        EXPECT_EQ(video_status_port_read(), status) << clock_ms();
    }
    EXPECT_EQ(bios_ticks_at(24 * hours - 1), 1572479u);
    EXPECT_EQ(bios_ticks_at(24 * hours), 0u);
    manual_clock_stop();
}

// Off the test clock: the local time since midnight, here 5 h 45 min east of UTC.
TEST(Timing, TimeOfDayIsLocalTimeSinceMidnight) {
    setenv("TZ", "<+0545>-5:45", 1);
    tzset();
    const auto utc = std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
    const auto ahead = (static_cast<std::int64_t>(time_of_day_ms()) - (utc + 345 * 60000) % (24 * hours) + 24 * hours) % (24 * hours);
    unsetenv("TZ");
    tzset();
    EXPECT_LT(ahead, 1000);
}

TEST(Timing, DelaySleepsShortWaitsAtOnceAndLongOnesInNineMillisecondSteps) {
    manual_clock_start(5000, 0);
    delay_seconds(0.005);
    manual_clock_sleeps sleeps = manual_clock_take_sleeps();
    EXPECT_EQ(sleeps.count, 1u);
    EXPECT_EQ(sleeps.total, 5u);
    delay_seconds(1);
    sleeps = manual_clock_take_sleeps();   // 111 steps of 9 ms, then the last 1 ms
    EXPECT_EQ(sleeps.count, 112u);
    EXPECT_EQ(sleeps.total, 1000u);
    EXPECT_EQ(sleeps.last, 1u);
    delay_seconds(0);
    for (double bad : {-0.001, 2147483.648, std::nan("")}) {
        pending_error = 0;
        delay_seconds(bad);
        EXPECT_EQ(pending_error.exchange(0), 5) << bad;
    }
    EXPECT_EQ(manual_clock_take_sleeps().count, 0u);
    manual_clock_stop();
}

}  // namespace
