#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <thread>

#include "fake_dialog.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/timing.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/event_traps.h"

// The program that start-up would run; these tests start no program thread.
void program_main() {}

namespace {

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
        EXPECT_EXIT(workers_start(start_until_failure), ::testing::ExitedWithCode(1), "") << name;
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
            }).detach();
            exit_sequence();
        },
        ::testing::ExitedWithCode(0), "");
}

// The timer thread marks an armed timer due once its interval has passed,
// holds while a statement changes the timer table, and ends with the exit.
TEST(TimerThread, MarksDueTimersAndStopsWhenTheExitStarts) {
    timer_trap& timer = timer_traps[0];
    timer.in_use = timer.id = timer.mode = 1;
    timer.interval = 0.3;
    std::thread thread(timer_thread, nullptr);
    sleep_ms(10);
    EXPECT_EQ(timer.pending.load(), 0);   // its first expiry is only started
    for (int waited = 0; waited < 2000 && timer.pending.load() == 0; ++waited) sleep_ms(1);
    EXPECT_EQ(timer.pending.load(), 1);
    EXPECT_EQ(pending_event.load(), 1);

    timer_thread_pause = 1;
    for (int waited = 0; waited < 2000 && timer_thread_pause.load() != 2; ++waited) sleep_ms(1);
    EXPECT_EQ(timer_thread_pause.exchange(0), 2);

    exit_in_progress = 1;
    thread.join();
    EXPECT_EQ(stopped_threads.load(), 2u);
}

}  // namespace
