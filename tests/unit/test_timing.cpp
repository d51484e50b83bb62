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
    void SetUp() override {
        pending_error = 0;
        limit_deadline = 0;
    }
    void TearDown() override {
        manual_clock_stop();
        pending_error = 0;
    }
};

TEST_F(Timing, TimerStepsInEighteenPointTwoPerSecond) {
    manual_clock_start(0, 12 * hours);
    EXPECT_EQ(timer_value(0, 0), 43200.0);
    manual_clock_advance(20);
    EXPECT_EQ(timer_value(0, 0), 43200.0);
    manual_clock_advance(30);
    EXPECT_EQ(timer_value(0, 0), static_cast<float>(786241 / 18.2));
    EXPECT_NEAR(timer_value(0, 0), 43200.055, 0.001);
}

TEST_F(Timing, TimerWithAnAccuracyAndItsErrors) {
    manual_clock_start(0, 12 * hours + 123);
    EXPECT_DOUBLE_EQ(timer_value(0.001, 1), 43200.123);
    EXPECT_DOUBLE_EQ(timer_value(0.01, 1), 43200.12);
    EXPECT_DOUBLE_EQ(timer_value(1e-300, 1), 43200.123);   // a step too fine to count
    for (double accuracy : {0.0, -1.0, std::nan("")}) {
        pending_error = 0;
        EXPECT_EQ(timer_value(accuracy, 1), 0) << accuracy;
        EXPECT_EQ(pending_error.load(), 5) << accuracy;
    }
    EXPECT_EQ(timer_value(0.001, 1), 0);   // nothing while an error is pending
}

TEST_F(Timing, BiosTickCountsFromMidnightInThreeBytes) {
    emulated_address(bios_tick_count)[3] = 0xAB;
    manual_clock_start(0, 1 * hours);
    bios_tick_update();
    const std::uint8_t* tick = emulated_address(bios_tick_count);
    EXPECT_EQ(tick[0] | tick[1] << 8 | tick[2] << 16, 65520);
    EXPECT_EQ(tick[3], 0xAB);

    EXPECT_EQ(bios_ticks_at(0), 0u);
    EXPECT_EQ(bios_ticks_at(24 * hours - 1), 1572479u);
    EXPECT_EQ(bios_ticks_at(24 * hours), 0u);

    pending_error = 5;   // the tick keeps counting while an error waits for its dialogue
    bios_tick_update();
    EXPECT_EQ(tick[0] | tick[1] << 8 | tick[2] << 16, 65520);
}

TEST_F(Timing, StatusPortShowsRetraceOncePerLatch) {
    retrace_latch = 0;
    in_retrace = 0;
    EXPECT_EQ(video_status_port_read(), 0);
    retrace_latch = 1;
    EXPECT_EQ(video_status_port_read(), 8);
    EXPECT_EQ(video_status_port_read(), 0);
    in_retrace = 1;
    EXPECT_EQ(video_status_port_read(), 8);
    EXPECT_EQ(video_status_port_read(), 8);
    in_retrace = 0;
}

TEST_F(Timing, DelaySleepsShortWaitsAtOnceAndLongOnesInNineMillisecondSteps) {
    manual_clock_start(5000, 0);
    delay_seconds(0.005);
    manual_clock_sleeps sleeps = manual_clock_take_sleeps();
    EXPECT_EQ(sleeps.count, 1u);
    EXPECT_EQ(sleeps.total, 5u);

    delay_seconds(1);
    sleeps = manual_clock_take_sleeps();
    EXPECT_EQ(sleeps.count, 112u);   // 111 steps of 9 ms, then the last 1 ms
    EXPECT_EQ(sleeps.total, 1000u);
    EXPECT_EQ(sleeps.last, 1u);

    delay_seconds(0);
    EXPECT_EQ(manual_clock_take_sleeps().count, 0u);
    for (double bad : {-0.001, 2147483.648, std::nan("")}) {
        pending_error = 0;
        delay_seconds(bad);
        EXPECT_EQ(pending_error.load(), 5) << bad;
    }
    EXPECT_EQ(manual_clock_take_sleeps().count, 0u);
}

TEST_F(Timing, LimitRateKeepsItsScheduleUpTo32MillisecondsLate) {
    manual_clock_start(100000, 0);
    const double period = 1000 / 60.0;
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
}

TEST_F(Timing, LimitRateRejectsRatesWithoutAUsablePeriod) {
    manual_clock_start(100000, 0);
    for (double bad : {0.0, -5.0, 1 / 60.5, std::nan("")}) {
        pending_error = 0;
        limit_rate(bad);
        EXPECT_EQ(pending_error.load(), 5) << bad;
    }
    pending_error = 0;
    limit_rate(0.02);   // one pass in 50 s
    EXPECT_EQ(pending_error.load(), 0);
}

}  // namespace
