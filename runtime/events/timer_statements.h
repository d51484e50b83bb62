// TIMER, and the statements that wait: they run the event check between
// their sleeps, so that traps and the end of the program reach them.
#pragma once
#include <cstdint>

// limit_rate's schedule in clock_ms milliseconds; 0 before the first call.
extern double limit_deadline;

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
