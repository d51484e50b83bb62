#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/timing.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/event_traps.h"

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

TEST_F(Directories, RemovedWorkingDirectoryRecordsError51) {
    const std::filesystem::path gone = std::filesystem::temp_directory_path() / ("gone_" + std::to_string(getpid()));
    std::filesystem::create_directory(gone);
    std::filesystem::current_path(gone);
    std::filesystem::remove(gone);
    EXPECT_EQ(working_directory_text(), nullptr);
    EXPECT_EQ(pending_error.load(), 51);
}

TEST_F(Directories, ChangesToTheDirectoryOfTheExecutable) {
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    EXPECT_TRUE(change_to_executable_directory());
    EXPECT_EQ(std::filesystem::current_path(), std::filesystem::canonical("/proc/self/exe").parent_path());
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
