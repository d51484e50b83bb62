// The window mapping, the window policy and the Alt+Enter cycle: the parts
// of presentation that need no GL context.
#include <gtest/gtest.h>

#include "runtime/display/presentation.h"
#include "runtime/display/software_frame.h"
#include "runtime/display/window_mapping.h"

// Mappings and rectangles compare field by field (the scales exactly: they
// are quotients of small integers).
bool operator==(const window_mapping& a, const window_mapping& b) {
    return a.offset_x == b.offset_x && a.offset_y == b.offset_y && a.right == b.right && a.bottom == b.bottom &&
           a.scale_x == b.scale_x && a.scale_y == b.scale_y && a.display_width == b.display_width &&
           a.display_height == b.display_height && a.bars == b.bars && a.smooth == b.smooth;
}
void PrintTo(const window_mapping& m, std::ostream* out) {
    *out << "offset " << m.offset_x << "," << m.offset_y << " to " << m.right << "," << m.bottom << " scale "
         << m.scale_x << "," << m.scale_y << " display " << m.display_width << "x" << m.display_height << " bars "
         << m.bars << " smooth " << m.smooth;
}
bool operator==(const pixel_rectangle& a, const pixel_rectangle& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const pixel_rectangle& r, std::ostream* out) {
    *out << r.left << "," << r.top << " to " << r.right << "," << r.bottom;
}

TEST(WindowMapping, DefaultFrameMapsOneToOneWithTexelCentres) {
    const window_mapping m = compute_window_mapping(640, 400, 640, 400, 0, 0, 0);
    EXPECT_EQ(m, (window_mapping{0, 0, 639, 399, 1.0f, 1.0f, 640, 400, 0, 0}));
    EXPECT_EQ(map_frame_rectangle(m, 0, 0, 639, 399), (pixel_rectangle{0, 0, 639, 399}));

    float left, right;
    texture_edges(0, 639, 640, left, right);
    EXPECT_FLOAT_EQ(left, 0.01f / 640);
    EXPECT_FLOAT_EQ(right, 639.99f / 640);
    texture_edges(639, 0, 640, left, right);   // mirrored
    EXPECT_FLOAT_EQ(left, 639.99f / 640);
    EXPECT_FLOAT_EQ(right, 0.01f / 640);
}

TEST(WindowMapping, WindowDraggedLargerShowsTheFrameUnscaledInTheCorner) {
    EXPECT_EQ(compute_window_mapping(640, 400, 800, 600, 0, 0, 0),
              (window_mapping{0, 0, 639, 399, 1.0f, 1.0f, 640, 400, 0, 0}));
    // Scaled resizing fills the window instead, smoothly with setting 2.
    EXPECT_EQ(compute_window_mapping(640, 400, 800, 600, 0, 0, 2),
              (window_mapping{0, 0, 799, 599, 1.25f, 1.5f, 800, 600, 0, 1}));
}

TEST(WindowMapping, FullScreenStretchedAndWithSquarePixels) {
    const window_mapping stretched = compute_window_mapping(640, 400, 1920, 1080, 1, 0, 0);
    EXPECT_EQ(stretched, (window_mapping{0, 0, 1919, 1079, 3.0f, 2.7f, 1920, 1080, 0, 0}));
    EXPECT_EQ(map_frame_rectangle(stretched, 0, 0, 639, 399), (pixel_rectangle{0, 0, 1919, 1079}));

    const window_mapping square = compute_window_mapping(640, 400, 1920, 1080, 2, 1, 0);
    EXPECT_EQ(square, (window_mapping{96, 0, 1823, 1079, 2.7f, 2.7f, 1728, 1080, 1, 1}));
    EXPECT_EQ(map_frame_rectangle(square, 0, 0, 639, 399), (pixel_rectangle{96, 0, 1823, 1079}));
    // The bars cover the margins and nothing of the picture.
    pixel_rectangle bars[2];
    ASSERT_EQ(bar_rectangles(square, 1920, 1080, bars), 2);
    EXPECT_EQ(bars[0], (pixel_rectangle{0, 0, 95, 1079}));
    EXPECT_EQ(bars[1], (pixel_rectangle{1824, 0, 1919, 1079}));

    // A narrow screen letterboxes top and bottom.
    const window_mapping tall = compute_window_mapping(640, 400, 1280, 1024, 2, 0, 0);
    EXPECT_EQ(tall, (window_mapping{0, 112, 1279, 911, 2.0f, 2.0f, 1280, 800, 2, 0}));
    ASSERT_EQ(bar_rectangles(tall, 1280, 1024, bars), 2);
    EXPECT_EQ(bars[0], (pixel_rectangle{0, 0, 1279, 111}));
    EXPECT_EQ(bars[1], (pixel_rectangle{0, 912, 1279, 1023}));
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
