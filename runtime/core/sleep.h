// Sleeping and the clocks.
#pragma once
#include <cstdint>

// Sleeps ms milliseconds (nanosleep); sleep_ms(0) only yields briefly.
void sleep_ms(std::uint32_t ms);
// Monotonic clock in milliseconds.
std::int64_t clock_ms();
// Local time of day in milliseconds since midnight.
std::uint64_t time_of_day_ms();
