// TIMER, the BIOS tick, the retrace bit and the two waiting services, on the
// test clock (it moves only when the test or a sleep advances it).
#include <gtest/gtest.h>

#include <cmath>

#include "runtime/core/emulated_memory.h"
#include "runtime/core/sleep.h"
#include "runtime/core/timing.h"
#include "runtime/errors/errors.h"

namespace {

constexpr std::uint64_t hours = 3600000;

class Timing : public ::testing::Test {
protected:
    void TearDown() override { manual_clock_stop(); }
    // Each bad argument raises error 5.
    template <typename F> void rejects(std::initializer_list<double> bad, F call) {
        for (double value : bad) {
            pending_error = 0;
            call(value);
            EXPECT_EQ(pending_error.exchange(0), 5) << value;
        }
    }
};

TEST_F(Timing, TimerStepsIn18Point2PerSecondOrInTheAccuracyGiven) {
    manual_clock_start(0, 12 * hours);
    EXPECT_EQ(timer_value(0, 0), 43200.0);
    manual_clock_advance(20);
    EXPECT_EQ(timer_value(0, 0), 43200.0);
    manual_clock_advance(30);
    EXPECT_EQ(timer_value(0, 0), static_cast<float>(786241 / 18.2));
    manual_clock_advance(73);
    EXPECT_DOUBLE_EQ(timer_value(0.001, 1), 43200.123);
    EXPECT_DOUBLE_EQ(timer_value(0.01, 1), 43200.12);
    EXPECT_DOUBLE_EQ(timer_value(1e-300, 1), 43200.123);   // a step too fine to count
    rejects({0.0, -1.0, std::nan("")}, [](double accuracy) { EXPECT_EQ(timer_value(accuracy, 1), 0); });
    pending_error = 5;
    EXPECT_EQ(timer_value(0.001, 1), 0);   // nothing while an error is pending
    pending_error = 0;
}

TEST_F(Timing, BiosTickCountsFromMidnightInThreeBytesAndTheStatusPortShowsRetraceOncePerLatch) {
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

    EXPECT_EQ(video_status_port_read(), 0);
    retrace_latch = 1;
    EXPECT_EQ(video_status_port_read(), 8);
    EXPECT_EQ(video_status_port_read(), 0);
    in_retrace = 1;
    EXPECT_EQ(video_status_port_read(), 8);
    EXPECT_EQ(video_status_port_read(), 8);
}

TEST_F(Timing, DelaySleepsShortWaitsAtOnceAndLongOnesInNineMillisecondSteps) {
    manual_clock_start(5000, 0);
    delay_seconds(0.005);
    manual_clock_sleeps sleeps = manual_clock_take_sleeps();
    EXPECT_EQ(std::make_tuple(sleeps.count, sleeps.total), std::make_tuple(1u, 5u));
    delay_seconds(1);
    sleeps = manual_clock_take_sleeps();   // 111 steps of 9 ms, then the last 1 ms
    EXPECT_EQ(std::make_tuple(sleeps.count, sleeps.total, sleeps.last), std::make_tuple(112u, 1000u, 1u));
    delay_seconds(0);
    rejects({-0.001, 2147483.648, std::nan("")}, delay_seconds);
    EXPECT_EQ(manual_clock_take_sleeps().count, 0u);
}

TEST_F(Timing, LimitRateKeepsItsScheduleUpTo32MillisecondsLate) {
    manual_clock_start(100000, 0);
    const double period = 1000 / 60.0;
    limit_deadline = 0;
    limit_rate(60);   // the first call starts the schedule
    EXPECT_EQ(limit_deadline, 100000);
    EXPECT_EQ(manual_clock_take_sleeps().count, 0u);
    manual_clock_advance(10);
    limit_rate(60);   // waits the rest of the period
    EXPECT_EQ(clock_ms(), 100017);
    EXPECT_DOUBLE_EQ(limit_deadline, 100000 + period);
    manual_clock_advance(40);   // 40 ms after the last pass: late, within 32 ms
    limit_rate(60);
    EXPECT_EQ(clock_ms(), 100057);
    EXPECT_DOUBLE_EQ(limit_deadline, 100000 + 2 * period);
    manual_clock_take_sleeps();
    limit_rate(60);   // catching up: still due
    EXPECT_DOUBLE_EQ(limit_deadline, 100000 + 3 * period);
    EXPECT_EQ(manual_clock_take_sleeps().count, 0u);
    limit_rate(60);
    EXPECT_DOUBLE_EQ(limit_deadline, 100000 + 4 * period);
    EXPECT_EQ(clock_ms(), 100067);
    manual_clock_advance(50);   // more than a period and 32 ms late: a new schedule
    limit_rate(60);
    EXPECT_EQ(limit_deadline, 100117);

    rejects({0.0, -5.0, 1 / 60.5, std::nan("")}, limit_rate);
    limit_rate(0.02);   // one pass in 50 s
    EXPECT_EQ(pending_error.load(), 0);
}

}  // namespace
