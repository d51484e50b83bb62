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

std::string command_line_of(std::vector<const char*> argv) {
    char* text = command_line_text(static_cast<int>(argv.size()), const_cast<char**>(argv.data()));
    std::string joined = text;
    std::free(text);
    return joined;
}

TEST(CommandLine, ArgumentsJoinedBySingleSpacesWithoutQuoting) {
    EXPECT_EQ(command_line_of({"prog"}), "");
    EXPECT_EQ(command_line_of({"prog", "a", "b"}), "a b");
    EXPECT_EQ(command_line_of({"prog", "with space", "x"}), "with space x");
    EXPECT_EQ(command_line_of({"prog", "", "x", ""}), " x ");
}

class Directories : public ::testing::Test {
protected:
    std::filesystem::path started_in = std::filesystem::current_path();
    void TearDown() override {
        std::filesystem::current_path(started_in);
        pending_error = 0;
    }
};

TEST_F(Directories, WorkingDirectoryLongerThanTheFirstBuffer) {
    std::filesystem::path deep = std::filesystem::temp_directory_path() / ("startup_test_" + std::to_string(getpid()));
    const std::filesystem::path top = deep;
    while (deep.native().size() < 1300) deep /= std::string(100, 'd');
    std::filesystem::create_directories(deep);
    std::filesystem::current_path(deep);
    char* text = working_directory_text();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), deep.native());
    std::free(text);
    std::filesystem::current_path(started_in);
    std::filesystem::remove_all(top);
}

TEST_F(Directories, RemovedWorkingDirectoryIsEmptyAndNoError) {
    const std::filesystem::path gone = std::filesystem::temp_directory_path() / ("gone_" + std::to_string(getpid()));
    std::filesystem::create_directory(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);
    char* text = working_directory_text();
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    std::free(text);
    EXPECT_EQ(pending_error.load(), 0);
}

// An error recorded on the way (as when there is no memory for the
// directory's text) is still pending when start-up has made the screen, so
// that the program runs on after "Yes".
TEST_F(Directories, AnErrorRecordedDuringStartUpLeavesTheScreenInPlace) {
    raise_error(7);
    char name[] = "program";
    char* argv[] = {name, nullptr};
    runtime_prepare(1, argv);
    EXPECT_EQ(pending_error.load(), 7);
    ASSERT_NE(write_page, nullptr);
    EXPECT_EQ(image_text_rows(*write_page), 25);
}

TEST_F(Directories, ChangesToTheDirectoryOfTheExecutable) {
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    EXPECT_TRUE(change_to_executable_directory());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical("/proc/self/exe").parent_path());
}

int starts_left = 0;
thread_handle started;
thread_handle* start_until_failure(thread_entry, void*) {
    if (starts_left-- > 0) return &started;   // nothing runs: only start-up's reaction counts
    errno = EAGAIN;
    return nullptr;
}

TEST(WorkerThreads, OneThatCannotStartIsNamedInAnAlertAndTheProcessEndsWithStatusOne) {
    const char* const names[] = {"program thread", "timer thread", "screen thread"};
    for (int failing = 0; failing < 3; ++failing) {
        fake_dialog dialog({"zenity"}, true);
        starts_left = failing;
        EXPECT_EXIT(workers_start(start_until_failure), ::testing::ExitedWithCode(1), "") << names[failing];
        const std::vector<fake_dialog_call> calls = dialog.calls();
        ASSERT_EQ(calls.size(), 1u) << names[failing];
        EXPECT_EQ(calls[0].option("text"),
                  std::string("The ") + names[failing] + " could not be started: Resource temporarily unavailable");
    }
}

TEST(ExitQuery, ClaimsTheCloseButtonAndReturnsEachRequestOnce) {
    close_request = 0;
    close_handled_by_program = 0;
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
            exit_status = 0;
            std::thread timer([] {
                sleep_ms(50);
                if (exit_in_progress.load() == 1 && pending_event.load() == 1) stopped_threads.fetch_or(2);
            });
            timer.detach();
            exit_sequence();
        },
        ::testing::ExitedWithCode(0), "");
}

// The timer thread marks an armed timer due once its interval has passed,
// and leaves its loop when the exit starts.
TEST(TimerThread, MarksDueTimersAndStopsWhenTheExitStarts) {
    timer_trap& timer = timer_traps[0];
    timer.in_use = 1;
    timer.id = 1;
    timer.mode = 1;
    timer.interval = 0.03;
    pending_event = 0;
    stopped_threads = 0;
    exit_in_progress = 0;
    std::thread thread(timer_thread, nullptr);
    sleep_ms(10);
    EXPECT_EQ(timer.pending.load(), 0);   // its first expiry is only started
    for (int waited = 0; waited < 2000 && timer.pending.load() == 0; ++waited) sleep_ms(1);
    EXPECT_EQ(timer.pending.load(), 1);
    EXPECT_EQ(pending_event.load(), 1);

    timer_thread_pause = 1;   // a statement changing the timer table
    for (int waited = 0; waited < 2000 && timer_thread_pause.load() != 2; ++waited) sleep_ms(1);
    EXPECT_EQ(timer_thread_pause.load(), 2);
    timer_thread_pause = 0;

    exit_in_progress = 1;
    thread.join();
    EXPECT_EQ(stopped_threads.load(), 2u);
    exit_in_progress = 0;
}

}  // namespace
