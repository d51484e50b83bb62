// The hook that sees every X event, and the close button.
#include <gtest/gtest.h>

#include "runtime/core/program_end.h"
#include "runtime/core/window.h"
#include "runtime/display/presentation.h"
#include "runtime/input/keyboard.h"

namespace {

void hook(int type, Window window, Display* display, int phase) {
    XEvent event{};
    event.type = type;
    event.xany.window = window;
    x_event_hook(&event, display, phase);
}

TEST(EventHook, ExposureHeldModifiersAndTheCloseButton) {
    redraw_needed = 0;
    auto* display = reinterpret_cast<Display*>(0x1000);
    hook(Expose, 42, display, 1);
    EXPECT_EQ(redraw_needed, 0);   // phase 2 decides
    hook(Expose, 42, display, 2);
    EXPECT_EQ(redraw_needed, 1);
    key_down(100304);   // a Shift key held while the pointer leaves
    ASSERT_EQ(key_is_down(100304), 1);
    hook(LeaveNotify, 42, display, 2);
    EXPECT_EQ(key_is_down(100304), 0);

    close_request = 2;
    window_event(1);   // the close button sets bit 0
    EXPECT_EQ(close_request.load(), 3u);
    window_event(7);
    EXPECT_EQ(close_request.load(), 3u);
}

}  // namespace
