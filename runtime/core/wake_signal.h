// Waking a thread when what it waits for has happened.
//
// Every waiting loop of the run-time is one call of wait_on: it takes the
// signal's generation, tests its condition (and the exit), and waits for the
// generation to move on; the thread that changes the condition raises the
// signal afterwards. A raise between the test and the wait has already
// moved the generation, so the wait returns at once: no wake-up is lost.
// Waits have no time-out: a thread sleeps until it is raised, or until the
// deadline of a service that has one. A raise left out somewhere therefore
// leaves its waiter asleep for good; the tests look for that.
//
// A raise costs one atomic increment while nobody waits. A signal with a
// descriptor (an eventfd) is for a single waiter that also waits for
// another file descriptor, such as the X connection.
//
// Deadlines are read on clock_ms. While the manual test clock runs, a wait
// with a deadline looks at that clock every real millisecond; real time
// does not end it.
#pragma once
#include <atomic>
#include <cstdint>
#include <limits>

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"

struct wake_signal {
    std::atomic<std::uint32_t> generation;   // the futex word
    std::atomic<std::int32_t> waiters;
    std::atomic<int> descriptor;             // eventfd, or -1
};

inline constexpr std::int64_t no_deadline = std::numeric_limits<std::int64_t>::max();

// The generation to pass to wake_signal_wait; take it before testing the condition.
inline std::uint32_t wake_signal_seen(const wake_signal& signal) { return signal.generation.load(); }

// Waits until the signal is raised after seen was taken, or clock_ms reaches
// deadline. With also_readable >= 0 the wait ends too when that descriptor
// becomes readable (only for a signal with a descriptor). True when raised.
bool wake_signal_wait(wake_signal& signal, std::uint32_t seen, std::int64_t deadline, int also_readable = -1);

// Wakes every waiter of the signal.
void wake_signal_raise(wake_signal& signal);

// Raises the signal when the scope ends, on every way out of a function
// that changes what the signal's waiter looks at.
struct wake_on_exit {
    wake_signal& signal;
    ~wake_on_exit() { wake_signal_raise(signal); }
};

// Gives the signal an eventfd (once, before it is waited for); false when none can be made.
bool wake_signal_make_descriptor(wake_signal& signal);

// What ended a wait_on.
enum class wait_end { condition, exit, deadline };
// Whether the beginning of the exit ends a wait: it does for every thread
// that stops when the process ends, not for the threads that end it.
enum class exit_watch { ends_wait, ignored };

// Waits on signal until condition() holds, the exit sequence has begun
// (exit_in_progress, unless ignored) or clock_ms reaches deadline, tested in
// that order. With also_readable >= 0, a readable descriptor only makes it
// test again.
template <typename Condition>
wait_end wait_on(wake_signal& signal, Condition condition, std::int64_t deadline = no_deadline,
                 exit_watch watch = exit_watch::ends_wait, int also_readable = -1) {
    for (;;) {
        const std::uint32_t seen = wake_signal_seen(signal);
        if (condition()) return wait_end::condition;
        if (watch == exit_watch::ends_wait && exit_in_progress.load() != 0) return wait_end::exit;
        if (deadline != no_deadline && clock_ms() >= deadline) return wait_end::deadline;
        wake_signal_wait(signal, seen, deadline, also_readable);
    }
}

// The run-time's threads, each woken by the events it waits for.
// Program thread: a key stored, a pass finished or a pause answered, a frame
// presented, the exit sequence begun, a pause ended.
extern wake_signal program_thread_wake;
// Screen thread: the display page changed, the end of the program or a
// render pause or pass asked for, a thread stopped.
extern wake_signal screen_thread_wake;
// Window thread (has a descriptor): a frame ready, a message posted, a
// window pause asked for or ended, room for a paste. It rests until its own
// test finds work (window_work_waiting), so a raise alone may not be
// enough: another module that leaves work for it calls
// window_thread_request_pass, which asks for one more turn of its loop (and
// does the work there, in the window thread's idle work or beside it).
extern wake_signal window_thread_wake;
void window_thread_request_pass();
extern std::atomic<bool> window_pass_requested;   // cleared by the window thread at each turn
// Timer thread: the timer table changed, a due timer handled, the exit sequence begun.
extern wake_signal timer_thread_wake;
