#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>
#include <vector>

#include "fake_dialog.h"
#include "runtime/core/program_end.h"
#include "runtime/core/startup.h"
#include "runtime/errors/event_check.h"
#include "runtime/errors/event_traps.h"

namespace {

fake_dialog dialog;

char program_path[] = "/opt/farben/bin/spektralrechner";
char* program_argv[] = {program_path, nullptr};

void start_program_with(char** argv) {
    argument_count = 1;
    argument_vector = argv;
}

// Waits up to two seconds for a condition set by another thread.
template <typename Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 200 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return condition();
}

class EventCheck : public ::testing::Test {
protected:
    void SetUp() override {
        start_program_with(program_argv);
        dialog.forget_calls();
        dialog.answer(0);
        pending_error = 0;
        pending_event = 0;
    }
};

}  // namespace

TEST_F(EventCheck, ContinueReportsTheFirstErrorOfTheStatementAndClearsIt) {
    char windows_path[] = "C:\\farben\\rechner.exe";
    char bare_name[] = "rechner";
    char* windows_argv[] = {windows_path, nullptr};
    char* bare_argv[] = {bare_name, nullptr};
    const struct {
        char** argv;
        std::vector<std::int32_t> errors;
        std::uint32_t line;
        const char* file;  // nullptr: the main module
        const char* title;
        const char* text;
    } cases[] = {
        {program_argv, {4}, 54, nullptr, "Unhandled Error #4 - spektralrechner",
         "Line: 54 (in main module)\nOut of DATA\nContinue?"},
        {program_argv, {2}, 55, nullptr, "Unhandled Error #2 - spektralrechner",
         "Line: 55 (in main module)\nSyntax error\nContinue?"},
        {program_argv, {4, 6}, 38, nullptr, "Unhandled Error #4 - spektralrechner",
         "Line: 38 (in main module)\nOut of DATA\nContinue?"},
        {program_argv, {77}, 17, "farben.bi", "Unhandled Error #77 - spektralrechner",
         "Line: 17 (in farben.bi)\nUnprintable error\nContinue?"},
        {windows_argv, {4}, 1, nullptr, "Unhandled Error #4 - rechner.exe",
         "Line: 1 (in main module)\nOut of DATA\nContinue?"},
        {bare_argv, {4}, 1, nullptr, "Unhandled Error #4 - rechner",
         "Line: 1 (in main module)\nOut of DATA\nContinue?"},
    };
    statement_done(12);  // nothing pending: no dialogue
    EXPECT_TRUE(dialog.calls().empty());
    for (const auto& c : cases) {
        start_program_with(c.argv);
        dialog.forget_calls();
        for (std::int32_t error : c.errors) raise_error(error);
        if (c.file) event_check(5, c.line, c.file);
        else statement_done(c.line);
        ASSERT_EQ(dialog.calls().size(), 1u) << c.line;
        const fake_dialog_call call = dialog.calls()[0];
        EXPECT_EQ(call.option("title"), c.title);
        EXPECT_EQ(call.option("text"), c.text);
        EXPECT_TRUE(call.has("--question"));
        EXPECT_EQ(pending_error.load(), 0);
        EXPECT_EQ(pending_event.load(), 0);
        EXPECT_EQ(error_line, c.file ? 5u : c.line);
        statement_done(c.line + 1);  // the later errors went with the first
        EXPECT_EQ(dialog.calls().size(), 1u) << c.line;
    }
}

TEST_F(EventCheck, CriticalRangeShowsAnOkBoxAndEnds) {
    EXPECT_EXIT(
        {
            raise_error(300);
            statement_done(9);
            std::_Exit(3);  // not reached
        },
        ::testing::ExitedWithCode(0), "");
    ASSERT_EQ(dialog.calls().size(), 1u);
    const fake_dialog_call call = dialog.calls()[0];
    EXPECT_EQ(call.option("title"), "Critical Error #300 - spektralrechner");
    EXPECT_EQ(call.option("text"), "Line: 9 (in main module)\nMemory region out of range");
    EXPECT_TRUE(call.has("--error"));
}

TEST_F(EventCheck, PauseHoldsTheCheckUntilReleased) {
    pause_flag = 1;
    pending_event = 1;
    std::atomic<bool> returned{false};
    std::thread program([&] {
        statement_done(3);
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_FALSE(returned.load());
    pause_flag = 0;
    program.join();
    EXPECT_TRUE(returned.load());
}

namespace {

std::vector<int> handled;
void device_handler() { handled.push_back(1); }
void key_handler() {
    handled.push_back(2);
    dispatch_event_traps();  // a handler's own event check does not re-enter it
}
void timer_handler() {
    handled.push_back(3);
    EXPECT_EQ(timer_traps[0].pending.load(), 2);
}

void arm(key_trap& trap, trap_handler handler, std::uint8_t mode, std::int32_t waiting, std::uint8_t in_use = 1) {
    trap.in_use = in_use;
    trap.id = in_use ? 8 : 0;
    trap.mode = mode;
    trap.handler = handler;
    trap.waiting = waiting;
}

}  // namespace

TEST_F(EventCheck, DueTrapsRunDevicesThenKeysThenTimers) {
    key_trap device{};
    arm(device, device_handler, 1, 1);
    device_button_traps = &device;
    device_button_trap_count = 1;
    arm(on_key_traps[3], key_handler, 1, 2);
    arm(on_key_traps[5], key_handler, 2, 1);  // stopped: remembered, not run
    arm(on_key_traps[6], key_handler, 1, 0);  // nothing waiting

    timer_traps[0].in_use = timer_traps[0].mode = 1;
    timer_traps[0].id = 10;
    timer_traps[0].handler = timer_handler;
    timer_traps[0].pending = pending_event = 1;
    key_activity = 0;
    statement_done(4);
    // The key handler's own check runs the timer, but not the busy key trap.
    EXPECT_EQ(handled, (std::vector<int>{1, 2, 3, 2}));
    EXPECT_EQ(device.waiting.load(), 0);
    EXPECT_EQ(on_key_traps[3].waiting.load(), 0);
    EXPECT_EQ(on_key_traps[5].waiting.load(), 1);
    EXPECT_EQ(timer_traps[0].pending.load(), 0);
    EXPECT_EQ(key_activity.load(), 1);
    EXPECT_TRUE(dialog.calls().empty());

    device_button_traps = nullptr;
    device_button_trap_count = 0;
    for (int n : {3, 5, 6}) arm(on_key_traps[n], nullptr, 0, 0, 0);
    timer_traps[0].in_use = timer_traps[0].id = 0;
}

TEST(ProgramPrologue, MasksFloatingPointAndTurnsSigfpeIntoErrorEleven) {
    std::thread program([] {
        program_thread_prologue();
        std::uint16_t control_word = 0;
        asm volatile("fnstcw %0" : "=m"(control_word));
        EXPECT_EQ(control_word, 0x37F);
        volatile long double zero = 0;
        EXPECT_TRUE(__builtin_isinf(1.0L / zero));  // masked: no trap
    });
    program.join();
    struct sigaction installed {};
    sigaction(SIGFPE, nullptr, &installed);
    EXPECT_NE(installed.sa_handler, SIG_DFL);
    EXPECT_EQ(installed.sa_flags & SA_SIGINFO, 0);

    dialog.forget_calls();
    EXPECT_EXIT(
        {
            int quotient = 7;
            const int zero = 0;
            asm volatile("cltd; idivl %1" : "+a"(quotient) : "r"(zero) : "edx");  // a real divide trap
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "");
    ASSERT_EQ(dialog.calls().size(), 1u);
    EXPECT_EQ(dialog.calls()[0].option("title"), "Critical Error");
    EXPECT_EQ(dialog.calls()[0].option("text"), "Division by zero");
}

// Parking is for good: these run last and leave parked threads behind.
class Parking : public EventCheck {};

TEST_F(Parking, NoParksTheThreadAndEndingParksWithoutADialogue) {
    static std::atomic<bool> returned{false};
    const auto error_on_line = [](std::uint32_t line) {
        std::thread([line] {
            raise_error(4);
            statement_done(line);
            returned = true;
        }).detach();
        return eventually([] { return (stopped_threads.load() & 1) != 0; });
    };
    dialog.answer(1);
    ASSERT_TRUE(error_on_line(54));
    EXPECT_EQ(stop_requested.load(), 1);
    EXPECT_EQ(dialog.calls().size(), 1u);

    stopped_threads = stop_requested = pending_error = 0;
    dialog.forget_calls();
    exit_in_progress = 1;
    ASSERT_TRUE(error_on_line(55));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned.load());
    EXPECT_TRUE(dialog.calls().empty());
    EXPECT_EQ(stop_requested.load(), 0);
}
