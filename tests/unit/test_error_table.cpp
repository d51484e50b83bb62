#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_dialog.h"
#include "runtime/errors/errors.h"

TEST(ErrorTable, MessagesAndGaps) {
    const std::pair<unsigned, const char*> messages[] = {
        {0, "No error"}, {4, "Out of DATA"}, {76, "Path not found"}, {258, "Invalid handle"},
        {315, "_ASSERT failed (check console for description)"},
    };
    for (auto [number, message] : messages) EXPECT_STREQ(error_message(number), message) << number;
    for (unsigned gap : {11u, 15u, 21u, 77u, 257u, 259u, 299u, 316u, 4294967295u})
        EXPECT_STREQ(error_message(gap), "Unprintable error") << gap;
}

TEST(RaiseError, FirstErrorWinsAndNonPositiveIsIllegalFunctionCall) {
    pending_error = 0;
    pending_event = 0;
    raise_error(0);
    raise_error(4);
    EXPECT_EQ(pending_error.exchange(0), 5);
    EXPECT_EQ(pending_event.load(), 1);
}

TEST(RaiseError, CriticalNumbersShowTheirBoxThenExitWithStatusZero) {
    struct critical_case {
        std::int32_t number;
        std::string title, message;
    };
    std::vector<critical_case> cases = {
        {257, "Critical Error #1", "Out of memory"},
        {11, "Critical Error", "Division by zero"},
        {256, "Critical Error", "Out of stack space"},
        {259, "Critical Error", "Cannot find dynamic library file"},
        {260, "Critical Error", "Sub/Function does not exist in dynamic library"},
        {261, "Critical Error", "Sub/Function does not exist in dynamic library"},
        {270, "Critical Error", "_GL command called outside of SUB _GL's scope"},
        {271, "Critical Error", "END/SYSTEM called within SUB _GL's scope"},
    };
    for (std::int32_t n = 502; n <= 518; ++n) cases.push_back({n, "Critical Error #" + std::to_string(n - 500), "Out of memory"});

    fake_dialog dialog({"zenity"}, true);
    dialog.delay(0.05);  // the exit must wait for the box
    for (const critical_case& c : cases) {
        dialog.forget_calls();
        EXPECT_EXIT(raise_error(c.number), testing::ExitedWithCode(0), "") << c.number;
        const auto calls = dialog.calls();
        ASSERT_EQ(calls.size(), 1u) << c.number;
        EXPECT_EQ(calls[0].arguments, (std::vector<std::string>{"--error", "--no-markup", "--title=" + c.title,
                                                                "--text=" + c.message}))
            << c.number;
    }

    // Their neighbours are ordinary errors (300 to 315 are critical only in the dialogue).
    dialog.forget_calls();
    for (std::int32_t n : {255, 258, 262, 269, 272, 300, 501, 519}) {
        pending_error = 0;
        raise_error(n);
        EXPECT_EQ(pending_error.exchange(0), n);
    }
    EXPECT_TRUE(dialog.calls().empty());
}
