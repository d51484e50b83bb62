// The BIOS tick and the delay service, on the test clock (it moves only when
// the test or a sleep advances it).
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/core/emulated_memory.h"
#include "runtime/core/sleep.h"
#include "runtime/core/timing.h"
#include "runtime/errors/errors.h"

namespace {

constexpr std::uint64_t hours = 3600000;

TEST(Timing, BiosTickCountsFromMidnightInThreeBytes) {
    emulated_address(bios_tick_count)[3] = 0xAB;
    manual_clock_start(0, 1 * hours);
    pending_error = 5;   // the tick counts even while an error waits for its dialogue
    bios_tick_update();
    pending_error = 0;
    const std::uint8_t* tick = emulated_address(bios_tick_count);
    EXPECT_EQ(tick[0] | tick[1] << 8 | tick[2] << 16, 65520);
    EXPECT_EQ(tick[3], 0xAB);
    EXPECT_EQ(bios_ticks_at(24 * hours - 1), 1572479u);
    EXPECT_EQ(bios_ticks_at(24 * hours), 0u);
    manual_clock_stop();
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
