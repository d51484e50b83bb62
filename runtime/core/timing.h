// Emulated PC timing: the BIOS tick and the retrace bit of the video status
// port. No thread keeps them current: both are computed from the clock when
// they are read.
#pragma once
#include <atomic>
#include <cstdint>

// The retrace: each display period of 16 ms of clock_ms ends with 1 ms of
// retrace. The latch of the status port holds a retrace that began after
// the port was last read: retrace_latch is the count of retraces begun (on
// clock_ms) at the last read.
inline constexpr std::int64_t display_period_ms = 16;
extern std::atomic<std::int64_t> retrace_latch;

// The seconds of a time of day in milliseconds, counted in whole steps of
// 1 / steps_per_second (the product rounded to nearest in extended precision).
double timer_at(std::uint64_t time_of_day, double steps_per_second);

// Writes the low 24 bits of the ticks since midnight (18.2 a second) to the
// BIOS data area at 0x46C; emulated_peek does it before it reads there.
void bios_tick_update();
// The tick count for a time of day in milliseconds.
std::uint32_t bios_ticks_at(std::int64_t time_of_day_ms);

// Port 0x3DA: bit 3 is set during the retrace, and at the first read after
// a retrace that no read saw.
std::int32_t video_status_port_read();
