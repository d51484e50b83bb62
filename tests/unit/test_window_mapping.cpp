// The window mapping, the window policy and the Alt+Enter cycle: the parts
// of presentation that need no GL context.
#include <gtest/gtest.h>

#include "runtime/display/presentation.h"
#include "runtime/display/software_frame.h"
#include "runtime/display/window_mapping.h"

TEST(WindowMapping, DefaultFrameMapsOneToOneWithTexelCentres) {
    const window_mapping m = compute_window_mapping(640, 400, 640, 400, 0, 0, 0);
    EXPECT_EQ(m.offset_x, 0);
    EXPECT_EQ(m.offset_y, 0);
    EXPECT_EQ(m.right, 639);
    EXPECT_EQ(m.bottom, 399);
    EXPECT_EQ(m.scale_x, 1.0f);
    EXPECT_EQ(m.scale_y, 1.0f);
    EXPECT_EQ(m.bars, 0);
    EXPECT_EQ(m.smooth, 0);
    const pixel_rectangle r = map_frame_rectangle(m, 0, 0, 639, 399);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 639);
    EXPECT_EQ(r.bottom, 399);

    float left, right;
    texture_edges(0, 639, 640, left, right);
    EXPECT_FLOAT_EQ(left, 0.01f / 640);
    EXPECT_FLOAT_EQ(right, 639.99f / 640);
    texture_edges(639, 0, 640, left, right);   // mirrored
    EXPECT_FLOAT_EQ(left, 639.99f / 640);
    EXPECT_FLOAT_EQ(right, 0.01f / 640);
}

TEST(WindowMapping, WindowDraggedLargerShowsTheFrameUnscaledInTheCorner) {
    const window_mapping m = compute_window_mapping(640, 400, 800, 600, 0, 0, 0);
    EXPECT_EQ(m.right, 639);
    EXPECT_EQ(m.bottom, 399);
    EXPECT_EQ(m.scale_x, 1.0f);
    EXPECT_EQ(m.display_width, 640);
    EXPECT_EQ(m.bars, 0);
    // Scaled resizing fills the window instead, smoothly with setting 2.
    const window_mapping scaled = compute_window_mapping(640, 400, 800, 600, 0, 0, 2);
    EXPECT_EQ(scaled.right, 799);
    EXPECT_EQ(scaled.bottom, 599);
    EXPECT_EQ(scaled.smooth, 1);
    EXPECT_FLOAT_EQ(scaled.scale_y, 1.5f);
}

TEST(WindowMapping, FullScreenStretchedAndWithSquarePixels) {
    const window_mapping stretched = compute_window_mapping(640, 400, 1920, 1080, 1, 0, 0);
    EXPECT_EQ(stretched.offset_x, 0);
    EXPECT_EQ(stretched.right, 1919);
    EXPECT_EQ(stretched.bottom, 1079);
    EXPECT_EQ(stretched.smooth, 0);
    EXPECT_EQ(stretched.bars, 0);
    const pixel_rectangle whole = map_frame_rectangle(stretched, 0, 0, 639, 399);
    EXPECT_EQ(whole.right, 1919);
    EXPECT_EQ(whole.bottom, 1079);

    const window_mapping square = compute_window_mapping(640, 400, 1920, 1080, 2, 1, 0);
    EXPECT_EQ(square.display_width, 1728);
    EXPECT_EQ(square.offset_x, 96);
    EXPECT_EQ(square.right, 1823);
    EXPECT_EQ(square.bars, 1);
    EXPECT_EQ(square.smooth, 1);
    EXPECT_FLOAT_EQ(square.scale_x, 2.7f);
    const pixel_rectangle picture = map_frame_rectangle(square, 0, 0, 639, 399);
    EXPECT_EQ(picture.left, 96);
    EXPECT_EQ(picture.right, 1823);

    // The bars cover the margins and nothing of the picture.
    pixel_rectangle bars[2];
    ASSERT_EQ(bar_rectangles(square, 1920, 1080, bars), 2);
    EXPECT_EQ(bars[0].left, 0);
    EXPECT_EQ(bars[0].right, 95);
    EXPECT_EQ(bars[1].left, 1824);
    EXPECT_EQ(bars[1].right, 1919);
    EXPECT_EQ(bars[1].bottom, 1079);

    // A narrow screen letterboxes top and bottom.
    const window_mapping tall = compute_window_mapping(640, 400, 1280, 1024, 2, 0, 0);
    EXPECT_EQ(tall.bars, 2);
    EXPECT_EQ(tall.display_height, 800);
    EXPECT_EQ(tall.offset_y, 112);
    ASSERT_EQ(bar_rectangles(tall, 1280, 1024, bars), 2);
    EXPECT_EQ(bars[0].bottom, 111);
    EXPECT_EQ(bars[1].top, 912);
}

class WindowPolicy : public ::testing::Test {
protected:
    void SetUp() override {
        window_width = previous_window_width = policy_frame_width = 640;
        window_height = previous_window_height = policy_frame_height = 400;
        accepted_aspect = frame_aspect = 1.6f;
        follow_frame_size = 1;
        resize_scaling = 0;
        reshape_pending = 0;
    }
    void reshaped(int w, int h) {
        previous_window_width = window_width;
        previous_window_height = window_height;
        window_width = w;
        window_height = h;
    }
};

TEST_F(WindowPolicy, WindowSnapsBackToTheFrameSize) {
    std::int32_t w = 0, h = 0;
    EXPECT_FALSE(window_policy(640, 400, w, h));
    reshaped(800, 600);
    ASSERT_TRUE(window_policy(640, 400, w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 400);
    EXPECT_EQ(reshape_pending, 1);
    // With the window free to resize, only a new frame size reshapes it.
    follow_frame_size = 0;
    EXPECT_FALSE(window_policy(640, 400, w, h));
    ASSERT_TRUE(window_policy(320, 200, w, h));
    EXPECT_EQ(w, 320);
}

TEST_F(WindowPolicy, ScaledResizingKeepsTheFrameAspectAlongTheDraggedSide) {
    follow_frame_size = 0;
    resize_scaling = 1;
    std::int32_t w = 0, h = 0;
    reshaped(640, 500);   // height dragged
    ASSERT_TRUE(window_policy(640, 400, w, h));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 500);
    EXPECT_FLOAT_EQ(accepted_aspect, 1.6f);
    reshaped(800, 500);   // the reshape arrives: aspect accepted, nothing more
    EXPECT_FALSE(window_policy(640, 400, w, h));
    reshaped(1000, 520);  // both dragged, the width more
    ASSERT_TRUE(window_policy(640, 400, w, h));
    EXPECT_EQ(w, 1000);
    EXPECT_EQ(h, 625);
    reshaped(900, 420);   // both by 100: the height is kept
    ASSERT_TRUE(window_policy(640, 400, w, h));
    EXPECT_EQ(h, 420);
    EXPECT_EQ(w, 672);
}

class AltEnter : public ::testing::Test {
protected:
    void SetUp() override {
        fullscreen_mode = 0;
        fullscreen_request = -1;
        fullscreen_smooth = 0;
        fullscreen_allowed_mode = 0;
        fullscreen_allowed_smooth = 0;
    }
    // One press, then the display callback carries the request out.
    std::pair<int, int> press() {
        fullscreen_alt_enter_cycle();
        if (fullscreen_request != -1) fullscreen_mode = fullscreen_request.exchange(-1);
        return {fullscreen_mode.load(), fullscreen_smooth.load()};
    }
};

TEST_F(AltEnter, CyclesThroughAllFiveStates) {
    using s = std::pair<int, int>;
    render_forced_refresh = 0;
    EXPECT_EQ(press(), s(1, 0));
    EXPECT_EQ(render_forced_refresh, 1);
    EXPECT_EQ(press(), s(1, 1));
    EXPECT_EQ(press(), s(2, 0));
    EXPECT_EQ(press(), s(2, 1));
    EXPECT_EQ(press(), s(0, 0));
}

TEST_F(AltEnter, AllowedSettingsSkipStates) {
    using s = std::pair<int, int>;
    fullscreen_allowed_mode = 2;
    fullscreen_allowed_smooth = -1;
    EXPECT_EQ(press(), s(2, 0));
    EXPECT_EQ(press(), s(0, 0));
    fullscreen_allowed_mode = 0;
    fullscreen_allowed_smooth = 1;
    EXPECT_EQ(press(), s(1, 1));
    EXPECT_EQ(press(), s(2, 1));
    EXPECT_EQ(press(), s(0, 0));
}

TEST_F(AltEnter, PressesBeforeTheRequestIsCarriedOutFollowTheRequest) {
    fullscreen_alt_enter_cycle();              // windowed -> stretched
    fullscreen_alt_enter_cycle();              // -> stretched smooth
    EXPECT_EQ(fullscreen_request, 1);
    EXPECT_EQ(fullscreen_smooth, 1);
    fullscreen_mode = 1;                       // stretched reached; windowed asked for next...
    fullscreen_request = -1;
    fullscreen_smooth = 1;
    fullscreen_alt_enter_cycle();              // -> square pixels
    fullscreen_alt_enter_cycle();              // -> square pixels smooth
    fullscreen_alt_enter_cycle();              // -> windowed
    EXPECT_EQ(fullscreen_request, 0);
    fullscreen_alt_enter_cycle();              // -> stretched again: the stale request goes
    EXPECT_EQ(fullscreen_request, -1);
    EXPECT_EQ(fullscreen_mode, 1);
    EXPECT_EQ(fullscreen_smooth, 0);
}
