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
    // Four more reads of the clock by the timer thread take it once more
    // through its deadline test, and through the scan that a due deadline
    // starts, at the clock's time now (which only this test moves).
    auto settled_since = [](std::uint64_t reads) {
        for (int i = 0; i < 100000 && manual_clock_reads() < reads + 4; ++i)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
    };
    // Not due a millisecond before at; due once the clock reaches at.
    auto due_exactly_at = [&](std::int64_t at) {
        const std::int64_t now = clock_ms();
        const std::uint64_t reads = manual_clock_reads();
        manual_clock_advance(at - 1 - now);
        settled_since(reads);
        const bool early = pending_event.load() != 0;
        manual_clock_advance(1);
        for (int i = 0; i < 100000 && pending_event.load() == 0; ++i)
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        return !early && pending_event.exchange(0) != 0 && timer.pending.load() == 1;
    };
    timer_table_change_begin();
    EXPECT_EQ(timer_thread_pause.load(), 2);
    timer.in_use = timer.id = timer.mode = 1;
    timer.interval = 0.3;
    std::uint64_t reads = manual_clock_reads();
    timer_table_change_end();   // started now: due 300 ms later
    settled_since(reads);
    EXPECT_TRUE(due_exactly_at(1301));
    static int handled = 0;
    timer.handler = [] { ++handled; };
    reads = manual_clock_reads();
    dispatch_event_traps();   // handled: due 300 ms after the last expiry
    settled_since(reads);
    EXPECT_EQ(std::pair(handled, timer.pending.load()), std::pair(1, std::uint8_t{0}));
    EXPECT_TRUE(due_exactly_at(1601));

    exit_in_progress = 1;
    wake_signal_raise(timer_thread_wake);
    thread.join();
    EXPECT_EQ(stopped_threads.load(), 2u);
    manual_clock_stop();
}

}  // namespace
