// Sleeping and the clocks.
#pragma once
#include <cstdint>

// Sleeps ms milliseconds (nanosleep); sleep_ms(0) only yields briefly.
void sleep_ms(std::uint32_t ms);
// Monotonic clock in milliseconds.
std::int64_t clock_ms();
// Local time of day in milliseconds since midnight.
std::uint64_t time_of_day_ms();

// A clock for tests: while it runs, clock_ms and time_of_day_ms read it and
// sleep_ms advances it (and counts the sleeps) instead of sleeping.
void manual_clock_start(std::int64_t monotonic_ms, std::uint64_t time_of_day_ms);
void manual_clock_stop();
bool manual_clock_active();
void manual_clock_advance(std::int64_t ms);
struct manual_clock_sleeps {
    std::uint32_t count;   // calls of sleep_ms
    std::uint64_t total;   // milliseconds slept
    std::uint32_t last;    // the last sleep's length
};
// The sleeps since the last call (or since the clock started).
manual_clock_sleeps manual_clock_take_sleeps();
// How often clock_ms has read the manual clock: a test that stops moving it
// can wait until another thread has looked at it since.
std::uint64_t manual_clock_reads();
