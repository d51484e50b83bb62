// The timer thread, and the handshake of statements that change its table.
#pragma once
#include <atomic>
#include <cstdint>

// Pause handshake of the timer thread (1 requested, 2 paused, 0 running),
// for statements that change the timer table: between begin and end the
// timer thread does not look at the table (the program thread parks when
// the exit begins meanwhile). Without a timer thread, end starts one when a
// timer runs.
extern std::atomic<std::int32_t> timer_thread_pause;
void timer_table_change_begin();
void timer_table_change_end();

// The timer thread (argument unused): marks the ON TIMER timers whose
// interval has passed as due, and sleeps until the next expiry or a change
// of the table (timer_table_changed).
void timer_thread(void*);
