#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

#include "fake_dialog.h"
#include "runtime/console/screen_image.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/timing.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/event_traps.h"

// The program that start-up would run; these tests start no program thread.
void program_main() {}

namespace {

namespace fs = std::filesystem;

TEST(CommandLine, ArgumentsJoinedBySingleSpacesWithoutQuoting) {
    const char* argv[] = {"prog", "with space", "", "x", ""};
    for (auto [argc, joined] : {std::pair{1, ""}, {2, "with space"}, {5, "with space  x "}}) {
        char* text = command_line_text(argc, const_cast<char**>(argv));
        EXPECT_STREQ(text, joined);
        std::free(text);
    }
}

// The working directory's text: longer than the first buffer, and gone.
TEST(Directories, WorkingDirectoryOfAnyLengthOrEmptyWhenRemoved) {
    const fs::path started_in = fs::current_path(), top = fs::temp_directory_path() / ("startup_" + std::to_string(getpid()));
    fs::path deep = top;
    while (deep.native().size() < 1300) deep /= std::string(100, 'd');
    fs::create_directories(deep);
    for (const std::string& expected : {deep.native(), std::string()}) {
        fs::current_path(deep);
        if (expected.empty()) fs::remove_all(top);
        char* text = working_directory_text();
        EXPECT_EQ(std::string(text), expected);
        std::free(text);
    }
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_TRUE(change_to_executable_directory());
    EXPECT_EQ(fs::current_path(), fs::canonical("/proc/self/exe").parent_path());
    fs::current_path(started_in);
}

// An error recorded on the way (as when there is no memory for the
// directory's text) is still pending when start-up has made the screen, so
// that the program runs on after "Yes".
TEST(Directories, AnErrorRecordedDuringStartUpLeavesTheScreenInPlace) {
    raise_error(7);
    char name[] = "program";
    char* argv[] = {name, nullptr};
    runtime_prepare(1, argv);
    EXPECT_EQ(pending_error.exchange(0), 7);
    ASSERT_NE(write_page, nullptr);
    EXPECT_EQ(image_text_rows(*write_page), 25);
}

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

TEST(ExitQuery, ClaimsTheCloseButtonAndReturnsEachRequestOnce) {
    EXPECT_EQ(exit_query(), 0);
    EXPECT_EQ(close_handled_by_program.load(), 1);
    close_request.fetch_or(1);
    close_request.fetch_or(2);
    EXPECT_EQ(exit_query(), 3);
    EXPECT_EQ(exit_query(), 0);
}

// Without a window the exit sequence ends the process on its own thread,
// once the program thread has parked and the timer thread has ended.
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
    EXPECT_EQ(timer.pending.load() + pending_event.load(), 2);

    timer_thread_pause = 1;
    for (int waited = 0; waited < 2000 && timer_thread_pause.load() != 2; ++waited) sleep_ms(1);
    EXPECT_EQ(timer_thread_pause.exchange(0), 2);

    exit_in_progress = 1;
    thread.join();
    EXPECT_EQ(stopped_threads.load(), 2u);
}

}  // namespace
