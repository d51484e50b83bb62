#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_dialog.h"
#include "runtime/errors/errors.h"

TEST(ErrorTable, MessagesAndGaps) {
    for (auto [number, message] : {std::pair{0u, "No error"}, {4u, "Out of DATA"}, {76u, "Path not found"},
                                   {258u, "Invalid handle"}, {315u, "_ASSERT failed (check console for description)"}})
        EXPECT_STREQ(error_message(number), message) << number;
    for (unsigned gap : {11u, 15u, 21u, 77u, 257u, 259u, 299u, 316u, 4294967295u})
        EXPECT_STREQ(error_message(gap), "Unprintable error") << gap;
}

TEST(RaiseError, FirstErrorWinsAndNonPositiveIsIllegalFunctionCall) {
    raise_error(0);
    raise_error(4);
    EXPECT_EQ(pending_error.exchange(0), 5);
    EXPECT_EQ(pending_event.exchange(0), 1);
}

TEST(RaiseError, CriticalNumbersShowTheirBoxThenExitWithStatusZero) {
    fake_dialog dialog({"zenity"}, true);
    dialog.delay(0.05);   // the exit must wait for the box
    for (auto [number, title, message] : std::vector<std::tuple<std::int32_t, std::string, std::string>>{
             {257, "Critical Error #1", "Out of memory"},
             {11, "Critical Error", "Division by zero"},
             {256, "Critical Error", "Out of stack space"},
             {270, "Critical Error", "_GL command called outside of SUB _GL's scope"},
             {502, "Critical Error #2", "Out of memory"},
             {518, "Critical Error #18", "Out of memory"}}) {
        dialog.forget_calls();
        EXPECT_EXIT(raise_error(number), testing::ExitedWithCode(0), "") << number;
        EXPECT_EQ(dialog.calls().at(0).arguments,
                  (std::vector<std::string>{"--error", "--no-markup", "--title=" + title, "--text=" + message}))
            << number;
    }
    // Their neighbours are ordinary errors (300 to 315 are critical only in the dialogue).
    dialog.forget_calls();
    for (std::int32_t n : {255, 258, 269, 272, 300, 501, 519}) {
        raise_error(n);
        EXPECT_EQ(pending_error.exchange(0), n);
    }
    EXPECT_TRUE(dialog.calls().empty());
}
