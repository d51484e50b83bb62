// Waking a thread when what it waits for has happened.
//
// A waiter takes the signal's generation, tests its condition, and waits
// for the generation to move on; the thread that changes the condition
// raises the signal afterwards. A raise between the test and the wait has
// already moved the generation, so the wait returns at once: no wake-up is
// lost. Every wait also ends when its time-out runs out (the period that the
// waiting loop used to poll with), so a raise that is left out somewhere
// costs no more than that period.
//
// A raise costs one atomic increment while nobody waits. A signal with a
// descriptor (an eventfd) is for a single waiter that also waits for
// another file descriptor, such as the X connection.
//
// While the manual test clock runs, a wait ends when it is raised or when
// the manual clock has been advanced past its time-out; real time does not
// end it.
#pragma once
#include <atomic>
#include <cstdint>

struct wake_signal {
    std::atomic<std::uint32_t> generation;   // the futex word
    std::atomic<std::int32_t> waiters;
    std::atomic<int> descriptor;             // eventfd, or -1
};

// The generation to pass to wake_signal_wait; take it before testing the condition.
inline std::uint32_t wake_signal_seen(const wake_signal& signal) { return signal.generation.load(); }

// Waits until the signal is raised after seen was taken, or timeout_ms have
// passed. With also_readable >= 0 the wait ends too when that descriptor
// becomes readable (only for a signal with a descriptor). True when raised.
bool wake_signal_wait(wake_signal& signal, std::uint32_t seen, std::uint32_t timeout_ms, int also_readable = -1);

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

// The run-time's threads, each woken by the events it waits for.
// Program thread: a key stored, a pass rendered or a pause answered, the
// exit sequence begun, a pause ended.
extern wake_signal program_thread_wake;
// Screen thread: the display page changed, the end of the program or a
// render pause or pass asked for, a thread stopped.
extern wake_signal screen_thread_wake;
// Window thread (has a descriptor): a frame ready, a message posted, a
// window pause asked for or ended.
extern wake_signal window_thread_wake;
// Timer thread: the exit sequence begun.
extern wake_signal timer_thread_wake;
