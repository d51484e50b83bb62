// END on a program thread of its own; the test thread types keys as the
// window thread would. END never returns: each test leaves its program
// thread parked.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "runtime/core/process_state.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/process/end_statement.h"
#include "runtime/process/startup.h"
#include "runtime/render/frame_renderer.h"
#include "runtime/render/software_frame.h"
#include "runtime/screen/render_pause.h"
#include "runtime/window/key_callbacks.h"
#include "runtime/window/window.h"
#include "tests/unit/console_screen.h"

namespace {

using namespace std::chrono_literals;

// Waits up to ten seconds (a sanitizer build on a busy machine is slow).
template <typename Check>
bool soon(Check check) {
    for (int i = 0; i < 10000 && !check(); ++i) std::this_thread::sleep_for(1ms);
    return check();
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
    // END shows the screen once its prompt stands, then waits for it to be
    // seen: only then is the page the test's to read (and its clock read).
    bool prompted() {
        std::thread(end_statement).detach();
        return soon([] { return screen_shown.load() == 1 && program_thread_wake.waiters.load() > 0; }) &&
               row_text(write_page, 25) == "Press any key to continue";
    }
    bool parked() { return soon([] { return (stopped_threads.load() & 1) != 0; }); }
};

// The window thread's part: the newest frame drawn is on screen.
void present() {
    keys_stored_when_presented = keyboard_buffer_stored.load();
    frames_presented = frames_drawn.load();
    wake_signal_raise(program_thread_wake);
}

TEST_F(EndStatement, PromptsOnTheLastRowAndEndsAfterANewKeyOnceThePromptWasPresented) {
    manual_clock_start(1000, 0);   // moves only when the test advances it
    print_raw("results", 1);
    close_handled_by_program = 1;
    type('a');   // typed before END: discarded
    ++render_passes_begun;   // a pass under way that cannot show the prompt
    ASSERT_TRUE(prompted());
    EXPECT_EQ(row_text(write_page, 1), "results");
    EXPECT_EQ(cursor_at(write_page), std::make_pair(25, 26));
    EXPECT_EQ(close_handled_by_program.load(), 0);
    ++render_passes_finished;   // it ends as a pass ends, and its frame is presented
    pass_done = 1;
    present();
    manual_clock_advance(15);
    std::this_thread::sleep_for(50ms);
    type('z');   // the prompt has not been on screen yet: discarded
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(stop_requested.load(), 0);
    render_software_frame();   // a pass that shows the prompt
    present();
    std::this_thread::sleep_for(50ms);
    type('c');
    EXPECT_TRUE(soon([] { return stop_requested.load() == 1; }));
    EXPECT_TRUE(parked());
    EXPECT_EQ(clock_ms(), 1015);
}

// The program thread parks at once in END with the window hidden (no
// prompt), and when the exit begins while a statement waits for the
// renderer (a mode change, a pass asked for): the screen thread, which runs
// the exit, renders no more.
TEST_F(EndStatement, ParksWhenHiddenOrWhenTheExitBeginsDuringAWaitForTheRenderer) {
    window_hidden = program_started = screen_shown = 1;
    for (void (*statement)() : {end_statement, render_pause_begin, render_now}) {
        stopped_threads = exit_in_progress = render_pause = 0;
        std::thread(statement).detach();
        if (statement != end_statement) {
            ASSERT_TRUE(soon([] { return program_thread_wake.waiters.load() > 0; }));   // none answers
            exit_in_progress = 1;
            wake_signal_raise(program_thread_wake);
        }
        EXPECT_TRUE(parked());
    }
    EXPECT_EQ(stop_requested.load(), 1);
    EXPECT_EQ(row_text(write_page, 25), "");
}

}  // namespace
