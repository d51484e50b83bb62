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

// The one box shown so far: its title and text.
std::string shown() {
    const auto calls = dialog.calls();
    return calls.size() == 1 ? calls[0].option("title") + "\n" + calls[0].option("text") : "boxes: " + std::to_string(calls.size());
}

class EventCheck : public ::testing::Test {
protected:
    void SetUp() override {
        argument_count = 1;
        argument_vector = program_argv;
        dialog.forget_calls();
        dialog.answer(0);
        pending_error = pending_event = 0;
    }
};

TEST_F(EventCheck, YesReportsTheFirstErrorOfTheStatementAndClearsIt) {
    const struct { const char* argv0; std::vector<std::int32_t> errors; std::uint32_t line; const char* file, *box; } cases[] = {
        {program_path, {4, 6}, 38, nullptr, "Unhandled Error #4 - spektralrechner\nLine: 38 (in main module)\nOut of DATA\nContinue?"},
        {program_path, {77}, 17, "farben.bi", "Unhandled Error #77 - spektralrechner\nLine: 17 (in farben.bi)\nUnprintable error\nContinue?"},
        {"C:\\farben\\rechner.exe", {2}, 1, nullptr, "Unhandled Error #2 - rechner.exe\nLine: 1 (in main module)\nSyntax error\nContinue?"},
        {"rechner", {4}, 1, nullptr, "Unhandled Error #4 - rechner\nLine: 1 (in main module)\nOut of DATA\nContinue?"},
    };
    statement_done(12);   // nothing pending: no dialogue
    EXPECT_TRUE(dialog.calls().empty());
    for (const auto& c : cases) {
        char* argv[] = {const_cast<char*>(c.argv0), nullptr};
        argument_vector = argv;
        dialog.forget_calls();
        for (std::int32_t error : c.errors) raise_error(error);
        if (c.file) event_check(5, c.line, c.file);
        else statement_done(c.line);
        EXPECT_EQ(shown(), c.box);
        EXPECT_TRUE(dialog.calls().at(0).has("--question"));
        EXPECT_EQ(pending_error.load() | pending_event.load(), 0);
        EXPECT_EQ(error_line, c.file ? 5u : c.line);
        statement_done(c.line + 1);   // the later errors went with the first
        EXPECT_EQ(dialog.calls().size(), 1u) << c.line;
    }
}

TEST_F(EventCheck, CriticalRangeShowsAnOkBoxAndEnds) {
    EXPECT_EXIT((raise_error(300), statement_done(9), std::_Exit(3)), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(shown(), "Critical Error #300 - spektralrechner\nLine: 9 (in main module)\nMemory region out of range");
    EXPECT_TRUE(dialog.calls().at(0).has("--error"));
}

TEST_F(EventCheck, PauseHoldsTheCheckUntilReleased) {
    pause_flag = pending_event = 1;
    std::atomic<bool> returned{false};
    std::thread program([&] { statement_done(3), returned = true; });
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_FALSE(returned.load());
    pause_flag = 0;
    program.join();
}

std::vector<int> handled;

void arm(key_trap& trap, void (*handler)(), std::uint8_t mode, std::int32_t waiting) {
    trap.in_use = 1;
    trap.id = 8;
    trap.mode = mode;
    trap.handler = handler;
    trap.waiting = waiting;
}

TEST_F(EventCheck, DueTrapsRunDevicesThenKeysThenTimers) {
    key_trap device{};
    arm(device, [] { handled.push_back(1); }, 1, 1);
    device_button_traps = &device;
    device_button_trap_count = 1;
    const auto key_handler = [] {
        handled.push_back(2);
        dispatch_event_traps();   // a handler's own event check does not re-enter it
    };
    arm(on_key_traps[3], key_handler, 1, 2);
    arm(on_key_traps[5], key_handler, 2, 1);   // stopped: remembered, not run
    arm(on_key_traps[6], key_handler, 1, 0);   // nothing waiting
    timer_traps[0].in_use = timer_traps[0].mode = 1;
    timer_traps[0].id = 10;
    timer_traps[0].handler = [] {
        handled.push_back(3);
        EXPECT_EQ(timer_traps[0].pending.load(), 2);
    };
    timer_traps[0].pending = pending_event = 1;
    key_activity = 0;
    statement_done(4);
    // The key handler's own check runs the timer, but not the busy key trap.
    EXPECT_EQ(handled, (std::vector<int>{1, 2, 3, 2}));
    EXPECT_EQ(device.waiting.load() + on_key_traps[3].waiting.load() + timer_traps[0].pending.load(), 0);
    EXPECT_EQ(on_key_traps[5].waiting.load(), 1);
    EXPECT_EQ(key_activity.load(), 1);
    EXPECT_TRUE(dialog.calls().empty());
    device_button_trap_count = 0;
    for (int n : {3, 5, 6}) on_key_traps[n].in_use = 0;
    timer_traps[0].in_use = 0;
}

TEST_F(EventCheck, PrologueMasksFloatingPointAndTurnsSigfpeIntoErrorEleven) {
    std::thread([] {
        program_thread_prologue();
        std::uint16_t control_word = 0;
        asm volatile("fnstcw %0" : "=m"(control_word));
        EXPECT_EQ(control_word, 0x37F);
        volatile long double zero = 0;
        EXPECT_TRUE(__builtin_isinf(1.0L / zero));   // masked: no trap
    }).join();
    EXPECT_EXIT(
        {
            int quotient = 7;
            const int zero = 0;
            asm volatile("cltd; idivl %1" : "+a"(quotient) : "r"(zero) : "edx");   // a real divide trap
            std::_Exit(3);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(shown(), "Critical Error\nDivision by zero");
}

// Parking is for good: this runs last and leaves parked threads behind.
TEST_F(EventCheck, NoParksTheThreadAndEndingParksWithoutADialogue) {
    static std::atomic<bool> returned{false};
    const auto error_on_line = [](std::uint32_t line) {
        std::thread([line] { raise_error(4), statement_done(line), returned = true; }).detach();
        for (int i = 0; i < 200 && !(stopped_threads.load() & 1); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return (stopped_threads.load() & 1) != 0;
    };
    dialog.answer(1);
    ASSERT_TRUE(error_on_line(54));
    EXPECT_EQ(stop_requested.load(), 1);
    EXPECT_EQ(shown(), "Unhandled Error #4 - spektralrechner\nLine: 54 (in main module)\nOut of DATA\nContinue?");

    stopped_threads = stop_requested = pending_error = 0;
    dialog.forget_calls();
    exit_in_progress = 1;
    ASSERT_TRUE(error_on_line(55));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned.load());
    EXPECT_TRUE(dialog.calls().empty());
    EXPECT_EQ(stop_requested.load(), 0);
}

}  // namespace
