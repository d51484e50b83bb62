// Emulated PC timing: the BIOS tick, the retrace bit of the video status
// port, TIMER, and the waiting services built on sleep_ms. No thread keeps
// the tick and the retrace bit current: both are computed from the clock
// when they are read.
#pragma once
#include <atomic>
#include <cstdint>

// The retrace: each display period of 16 ms of clock_ms ends with 1 ms of
// retrace. The latch of the status port holds a retrace that began after
// the port was last read: retrace_latch is the count of retraces begun (on
// clock_ms) at the last read.
inline constexpr std::int64_t display_period_ms = 16;
extern std::atomic<std::int64_t> retrace_latch;
// limit_rate's schedule in clock_ms milliseconds; 0 before the first call.
extern double limit_deadline;
// Pause handshake of the timer thread (1 requested, 2 paused, 0 running),
// for statements that change the timer table: between begin and end the
// timer thread does not look at the table (the program thread parks when
// the exit begins meanwhile). Without a timer thread, end starts one when a
// timer runs.
extern std::atomic<std::int32_t> timer_thread_pause;
void timer_table_change_begin();
void timer_table_change_end();
// A due timer was handled, or the table changed: the timer thread looks again.
void timer_table_changed();

// Writes the low 24 bits of the ticks since midnight (18.2 a second) to the
// BIOS data area at 0x46C; emulated_peek does it before it reads there.
void bios_tick_update();
// The tick count for a time of day in milliseconds.
std::uint32_t bios_ticks_at(std::int64_t time_of_day_ms);

// Port 0x3DA: bit 3 is set during the retrace, and at the first read after
// a retrace that no read saw.
std::int32_t video_status_port_read();

// TIMER: seconds since midnight in steps of 1/18.2 s (rounded to single
// precision), or in multiples of accuracy when one is given (error 5 for an
// accuracy <= 0). 0 while an error is pending.
double timer_value(double accuracy, std::int32_t accuracy_given);

// Waits seconds (0 to 2147483.647, else error 5), running the event check
// between sleeps of 9 ms.
void delay_seconds(double seconds);

// Waits so that successive calls are 1000 / rate ms apart (error 5 for a
// rate <= 0 or a period over 60 s). A call up to 32 ms late keeps the
// schedule; a later one restarts it. Returns 0.
std::int64_t limit_rate(double rate);
