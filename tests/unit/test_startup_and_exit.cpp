#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>

#include "fake_dialog.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/timing.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/events/event_check.h"
#include "runtime/events/event_traps.h"
#include "runtime/events/exit_sequence.h"
#include "runtime/events/timer_thread.h"
#include "runtime/process/runtime_main.h"
#include "runtime/process/startup.h"

namespace {

// The program that start-up would run; these tests start no program thread.
void program_main() {}

int starts_left = 0;
thread_handle started;
thread_handle* start_until_failure(thread_entry, void*) {
    if (starts_left-- > 0) return &started;   // nothing runs: only start-up's reaction counts
    errno = EAGAIN;
    return nullptr;
}

TEST(WorkerThreads, OneThatCannotStartIsNamedInAnAlertAndTheProcessEndsWithStatusOne) {
    fake_dialog dialog({"zenity"}, true);
    for (const char* name : {"program thread", "timer thread", "screen thread"}) {
        dialog.forget_calls();
        EXPECT_EXIT(workers_start(start_until_failure, program_main), ::testing::ExitedWithCode(1), "") << name;
        ASSERT_EQ(dialog.calls().size(), 1u) << name;
        EXPECT_EQ(dialog.calls()[0].option("text"),
                  std::string("The ") + name + " could not be started: Resource temporarily unavailable");
        ++starts_left;   // in the parent: the next one fails one start later
    }
}

// Without a window the exit sequence ends the process on its own thread,
// once the program thread has parked and the timer thread has ended (here
// a stand-in that ends only when the exit has been announced as the program
// thread sees it).
TEST(ExitSequence, WaitsForBothThreadsThenExitsWithTheStatus) {
    EXPECT_EXIT(
        {
            stopped_threads = 1;
            std::thread([] {
                sleep_ms(50);
                if (exit_in_progress.load() == 1 && pending_event.load() == 1) stopped_threads.fetch_or(2);
                wake_signal_raise(screen_thread_wake);
            }).detach();
            exit_sequence();
        },
        ::testing::ExitedWithCode(0), "");
}

// The timer thread rests without a deadline while no timer runs; an armed
// timer wakes it at its expiry, which it marks due; the event check runs its
// handler, and the handled timer gives the next expiry; it holds while a
// statement changes the table, and ends with the exit. On the test clock,
// which moves only when the test advances it.
TEST(TimerThread, WakesAtTheNextExpiryAndStopsWhenTheExitStarts) {
    manual_clock_start(1000, 0);
    std::thread thread(timer_thread, nullptr);
    timer_trap& timer = timer_traps[0];
    // Moves the clock a millisecond at a time until the timer is due (the
    // pending-event flag follows); the clock then.
    auto due_at = [] {
        for (int ms = 0; ms < 5000 && pending_event.exchange(0) == 0; ++ms) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            manual_clock_advance(1);
        }
        return clock_ms();
    };
    timer_table_change_begin();
    EXPECT_EQ(timer_thread_pause.load(), 2);
    timer.in_use = timer.id = timer.mode = 1;
    timer.interval = 0.3;
    timer_table_change_end();   // started now: due after 300 ms
    const std::int64_t first = due_at();
    EXPECT_GE(first, 1301);
    EXPECT_LE(first, 1340);
    EXPECT_EQ(timer.pending.load(), 1);
    static int handled = 0;
    timer.handler = [] { ++handled; };
    dispatch_event_traps();   // handled: due 300 ms after the last expiry
    EXPECT_EQ(std::pair(handled, timer.pending.load()), std::pair(1, std::uint8_t{0}));
    const std::int64_t second = due_at();
    EXPECT_GE(second - first, 290);
    EXPECT_LE(second - first, 310);

    exit_in_progress = 1;
    wake_signal_raise(timer_thread_wake);
    thread.join();
    EXPECT_EQ(stopped_threads.load(), 2u);
    manual_clock_stop();
}

}  // namespace
