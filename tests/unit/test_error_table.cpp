#include <gtest/gtest.h>

#include "runtime/errors/errors.h"

TEST(ErrorTable, MessagesAndGaps) {
    EXPECT_STREQ(error_message(0), "No error");
    EXPECT_STREQ(error_message(4), "Out of DATA");
    EXPECT_STREQ(error_message(76), "Path not found");
    EXPECT_STREQ(error_message(258), "Invalid handle");
    EXPECT_STREQ(error_message(315), "_ASSERT failed (check console for description)");
    for (unsigned gap : {11u, 15u, 21u, 77u, 257u, 259u, 299u, 316u, 4294967295u})
        EXPECT_STREQ(error_message(gap), "Unprintable error") << gap;
}

TEST(RaiseError, FirstErrorWinsAndNonPositiveIsIllegalFunctionCall) {
    pending_error = 0;
    pending_event = 0;
    raise_error(-3);
    EXPECT_EQ(pending_error.load(), 5);
    EXPECT_EQ(pending_event.load(), 1);
    raise_error(4);
    EXPECT_EQ(pending_error.load(), 5);
    pending_error = 0;
    raise_error(4);
    raise_error(6);
    EXPECT_EQ(pending_error.load(), 4);
    pending_error = 0;
}
