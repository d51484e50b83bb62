// END on a program thread of its own; the test thread types keys as the
// window thread would. END never returns: each test leaves its program
// thread parked.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "runtime/console/print.h"
#include "runtime/core/end_statement.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/window.h"
#include "runtime/display/software_frame.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/strings/str_desc.h"
#include "tests/unit/console_screen.h"

namespace {

using namespace std::chrono_literals;

bool becomes_true(const std::function<bool()>& check, std::chrono::milliseconds within) {
    const auto deadline = std::chrono::steady_clock::now() + within;
    while (!check()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

void type(int key) {
    key_char_event(key, 1, 0);
    key_char_event(key, 0, 0);
}

class EndStatement : public ::testing::Test {
protected:
    static void SetUpTestSuite() { strings_startup(); }
    void SetUp() override {
        fresh_text_screen();
        keyboard_buffer_startup();
        stop_requested = exit_in_progress = stopped_threads = window_hidden = screen_shown = 0;
    }
    void TearDown() override { manual_clock_stop(); }
    void start_end() { std::thread(end_statement).detach(); }
    // END shows the screen once its prompt stands: only then is the page the test's to read.
    bool prompted() {
        return becomes_true([] { return screen_shown.load() == 1; }, 1000ms) &&
               row_text(write_page, 25) == "Press any key to continue";
    }
    bool parked() { return becomes_true([] { return (stopped_threads.load() & 1) != 0; }, 1000ms); }
};

TEST_F(EndStatement, PromptsOnTheLastRowAndEndsAfterANewKey) {
    manual_clock_start(1000, 0);   // moves only when the test advances it
    print_string(str_from_cstring("results"), 1);
    close_handled_by_program = 1;
    type('a');   // typed before END: discarded
    type('b');
    start_end();
    ASSERT_TRUE(prompted());
    EXPECT_EQ(row_text(write_page, 1), "results");
    EXPECT_EQ(write_page->cursor_y, 25);
    EXPECT_EQ(write_page->cursor_x, 26);
    EXPECT_EQ(close_handled_by_program.load(), 0);
    type('z');   // typed within 100 ms of the prompt: discarded
    std::this_thread::sleep_for(50ms);
    manual_clock_advance(100);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(stop_requested.load(), 0);
    type('c');
    EXPECT_TRUE(becomes_true([] { return stop_requested.load() == 1; }, 500ms));
    EXPECT_TRUE(parked());
    EXPECT_EQ(clock_ms(), 1100);
}

TEST_F(EndStatement, AnExitDuringThePromptParksWithoutAStopRequest) {
    start_end();
    ASSERT_TRUE(prompted());
    exit_in_progress = 1;
    EXPECT_TRUE(parked());
    EXPECT_EQ(stop_requested.load(), 0);
}

TEST_F(EndStatement, AHiddenWindowEndsAtOnceWithoutAPrompt) {
    window_hidden = 1;
    start_end();
    EXPECT_TRUE(parked());
    EXPECT_EQ(stop_requested.load(), 1);
    EXPECT_EQ(row_text(write_page, 25), "");
}

}  // namespace
