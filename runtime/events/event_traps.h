// The event traps that the event check dispatches: device buttons, ON KEY
// and ON TIMER. Start-up fills the key codes and timer record 0; the timer
// thread marks timers due; the event check runs what is due.
#pragma once
#include <atomic>
#include <cstdint>

// A handler of an armed trap: code of the program, run between statements.
using trap_handler = void (*)();

// A device-button or ON KEY trap.
struct key_trap {
    std::int32_t code;         // key code watched (F1 is 0x3B00)
    std::int32_t second_code;  // the keypad twin of an arrow key, else 0
    std::uint8_t in_use;
    std::uint8_t mode;         // 0 off, 1 on, 2 stopped
    std::uint8_t busy;         // its handler runs: no re-entry
    std::uint32_t id;          // handler id, 0 = no handler
    trap_handler handler;
    std::atomic<std::int32_t> waiting;  // events not yet handled (raised by the window thread)
};

// An ON TIMER record (40 bytes).
struct timer_trap {
    std::uint8_t in_use;
    std::uint32_t id;          // non-zero once a handler is set
    trap_handler handler;
    std::uint8_t mode;         // 0 off, 1 on, 2 stopped
    std::atomic<std::uint8_t> pending;  // 0 idle, 1 due (set by the timer thread), 2 running
    double interval;           // seconds
    double last_expiry;        // seconds; 0 = not started yet
};
static_assert(sizeof(timer_trap) == 40);

// The program thread's, but for each record's waiting count (atomic). Start-up fills the codes.
constexpr int on_key_trap_count = 32;            // index 0 unused, 1 to 31
extern key_trap on_key_traps[on_key_trap_count];

extern key_trap* device_button_traps;            // grown by the device statements (program thread)
extern std::int32_t device_button_trap_count;

// The program thread changes the table only between timer_table_change_begin and
// timer_table_change_end (the timer thread paused); the timer thread reads it
// otherwise and writes last_expiry, and pending, which the event check sets too.
extern timer_trap* timer_traps;                  // one record at start; the ON TIMER
                                                 // statements move it to a larger block
extern std::int32_t timer_trap_count;

// Set after every key press (window thread) and when a timer trap has run
// (program thread); SLEEP clears it and wakes when it is set.
extern std::atomic<std::int32_t> key_activity;

// Counts the changes that may bring a timer's expiry forward: the end of a
// change of the table, a due timer handled (both on the program thread).
// The timer thread looks again when it moves.
extern std::atomic<std::uint32_t> timer_table_changes;
// A due timer was handled, or the table changed: counts it and wakes the timer thread.
void timer_table_changed();
