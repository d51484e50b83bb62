#include <gtest/gtest.h>

#include "runtime/core/program_end.h"
#include "runtime/core/window.h"
#include "runtime/input/keyboard.h"

namespace {

XEvent event_of_type(int type, Window window) {
    XEvent event{};
    event.type = type;
    event.xany.window = window;
    return event;
}

TEST(EventHook, PointerCrossingsAndHeldModifiers) {
    XEvent enter = event_of_type(EnterNotify, 5);
    x_event_hook(&enter, nullptr, 1);
    EXPECT_EQ(pointer_in_window.load(), 0);   // phase 2 decides
    x_event_hook(&enter, nullptr, 2);
    EXPECT_EQ(pointer_in_window.load(), -1);

    key_down(100304);   // a Shift key held while the pointer leaves
    ASSERT_EQ(key_is_down(100304), 1);
    XEvent leave = event_of_type(LeaveNotify, 5);
    x_event_hook(&leave, nullptr, 2);
    EXPECT_EQ(pointer_in_window.load(), 0);
    EXPECT_EQ(key_is_down(100304), 0);
}

TEST(EventHook, TheFirstEventNamesTheConnectionAndWindow) {
    auto* display = reinterpret_cast<Display*>(0x1000);
    XEvent first = event_of_type(Expose, 42), later = event_of_type(KeyPress, 43);
    x_event_hook(&first, display, 1);
    x_event_hook(&later, nullptr, 1);
    EXPECT_EQ(x_event_display, display);
    EXPECT_EQ(x_event_window, 42u);
}

TEST(EventHook, CloseButtonSetsBitZeroOnly) {
    close_request = 2;
    window_event(1);
    EXPECT_EQ(close_request.load(), 3u);
    window_event(7);
    EXPECT_EQ(close_request.load(), 3u);
}

}  // namespace
