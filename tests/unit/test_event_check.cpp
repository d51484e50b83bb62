// The event check after each statement: the box of the first error, Yes and No.
#include <gtest/gtest.h>

#include <thread>

#include "fake_dialog.h"
#include "runtime/core/process_state.h"
#include "runtime/core/program_end.h"
#include "runtime/events/event_check.h"
#include "runtime/events/event_traps.h"
#include "runtime/events/unhandled_error_dialog.h"
#include "runtime/process/startup.h"

namespace {

fake_dialog dialog;

char program_path[] = "/opt/farben/bin/spektralrechner";
char* program_argv[] = {program_path, nullptr};

// The one box shown so far: its title and text.
std::string shown() {
    const auto calls = dialog.calls();
    return calls.size() == 1 ? calls[0].option("title") + "\n" + calls[0].option("text")
                             : "boxes: " + std::to_string(calls.size());
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
    const struct { const char* argv0; std::vector<std::int32_t> errors; std::uint32_t line; const char *file, *box; }
        cases[] = {
            {program_path, {4, 6}, 38, nullptr,
             "Unhandled Error #4 - spektralrechner\nLine: 38 (in main module)\nOut of DATA\nContinue?"},
            {"rechner", {77}, 17, "farben.bi",
             "Unhandled Error #77 - rechner\nLine: 17 (in farben.bi)\nUnprintable error\nContinue?"},
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

// Parking is for good: this runs last and leaves parked threads behind.
TEST_F(EventCheck, NoParksTheThreadAndEndingParksWithoutADialogue) {
    static std::atomic<bool> returned{false};
    const auto error_on_line = [](std::uint32_t line) {
        std::thread([line] {
            raise_error(4);
            statement_done(line);
            returned = true;
        }).detach();
        for (int i = 0; i < 2000 && !(stopped_threads.load() & 1); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
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
