// The window mapping, the zoom and the Alt+Enter cycle: the parts of
// presentation that need no GL context.
#include <gtest/gtest.h>

#include <tuple>

#include "runtime/render/software_frame.h"
#include "runtime/render/window_mapping.h"
#include "runtime/window/window_policy.h"
#include "runtime/window/window_zoom.h"

// Mappings and rectangles compare as tuples of their fields (the scales exactly:
// they are quotients of small integers), which the test printer shows in full.
auto fields(const window_mapping& m) {
    return std::make_tuple(m.offset_x, m.offset_y, m.right, m.bottom, m.scale_x, m.scale_y, m.display_width,
                           m.display_height, m.bars, m.smooth);
}
auto fields(const pixel_rectangle& r) { return std::make_tuple(r.left, r.top, r.right, r.bottom); }

TEST(WindowMapping, MappingsOfTheWholeFrameAndTheBarsBesideIt) {
    // A 640x400 frame: 1:1 and at zoom 2; dragged larger (unenlarged or
    // enlarged in the corner); full screen stretched (whatever the zoom),
    // square pixels with bars left and right, and on a narrow screen above and below.
    const struct {
        int window_w, window_h, mode, smooth, scaling, zoom;
        window_mapping mapping;
        int bar_count;
        pixel_rectangle bars[2];
    } cases[] = {
        {640, 400, 0, 0, 0, 1, {0, 0, 639, 399, 1.0f, 1.0f, 640, 400, 0, 0}, 0, {}},
        {1280, 800, 0, 0, 0, 2, {0, 0, 1279, 799, 2.0f, 2.0f, 1280, 800, 0, 0}, 0, {}},
        {800, 600, 0, 0, 0, 1, {0, 0, 639, 399, 1.0f, 1.0f, 640, 400, 0, 0}, 0, {}},
        {1300, 820, 0, 0, 0, 2, {0, 0, 1279, 799, 2.0f, 2.0f, 1280, 800, 0, 0}, 0, {}},
        {1920, 1080, 1, 0, 0, 2, {0, 0, 1919, 1079, 3.0f, 2.7f, 1920, 1080, 0, 0}, 0, {}},
        {1920, 1080, 2, 1, 0, 1, {96, 0, 1823, 1079, 2.7f, 2.7f, 1728, 1080, 1, 1}, 2,
         {{0, 0, 95, 1079}, {1824, 0, 1919, 1079}}},
        {1280, 1024, 2, 0, 0, 1, {0, 112, 1279, 911, 2.0f, 2.0f, 1280, 800, 2, 0}, 2,
         {{0, 0, 1279, 111}, {0, 912, 1279, 1023}}},
        // A pixel too wide or too high: a bar one pixel thin on one side.
        {641, 400, 2, 0, 0, 1, {0, 0, 639, 399, 1.0f, 1.0f, 640, 400, 1, 0}, 1, {{640, 0, 640, 399}}},
        {640, 401, 2, 0, 0, 1, {0, 0, 639, 399, 1.0f, 1.0f, 640, 400, 2, 0}, 1, {{0, 400, 639, 400}}},
        {642, 401, 2, 0, 0, 1, {1, 0, 641, 400, 641.0f / 640, 401.0f / 400, 641, 401, 1, 0}, 1, {{0, 0, 0, 400}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.window_w << "x" << c.window_h << " mode " << c.mode);
        const window_mapping m =
            compute_window_mapping(640, 400, c.window_w, c.window_h, c.mode, c.smooth, c.scaling, c.zoom);
        EXPECT_EQ(fields(m), fields(c.mapping));
        EXPECT_EQ(fields(map_frame_rectangle(m, 0, 0, 639, 399)),
                  std::make_tuple(c.mapping.offset_x, c.mapping.offset_y, c.mapping.right, c.mapping.bottom));
        pixel_rectangle bars[2];
        ASSERT_EQ(bar_rectangles(m, c.window_w, c.window_h, bars), c.bar_count);
        for (int i = 0; i < c.bar_count; ++i) EXPECT_EQ(fields(bars[i]), fields(c.bars[i]));
    }
    // The cell in column 2, row 2, given from its far corner, at zoom 2.
    EXPECT_EQ(fields(map_frame_rectangle(compute_window_mapping(640, 400, 1280, 800, 0, 0, 0, 2), 15, 31, 8, 16)),
              std::make_tuple(16, 32, 31, 63));
}

// The zoom at start: the variable (a whole number from 1 to 16, else ignored
// with a warning), else Xft.dpi / 96 rounded half up, else 1, lowered to fit
// the room. A window then resized settles on the whole step nearest to its
// smaller ratio to the frame, within the room. (More settings end to end.)
TEST(WindowZoom, ChosenAtStartAndSettledAfterAResize) {
    const struct {
        const char *variable, *resources;   // null: unset, no RESOURCE_MANAGER
        int room_w, room_h, zoom;
        bool warned;
        int resized_w, resized_h, settled;
    } cases[] = {
        {nullptr, nullptr, 2560, 1600, 1, false, 800, 600, 1},
        {nullptr, "Xft.dpi:\t96\n", 2560, 1600, 1, false, 1300, 820, 2},
        {nullptr, "Xft.antialias: 1\nXft.dpi: 144\n", 2560, 1600, 2, false, 2000, 1300, 3},
        {nullptr, "Xft.dpi: 288", 2560, 1600, 3, false, 959, 599, 1},
        {nullptr, "Xft.dpi: 120.5", 2560, 1600, 1, false, 960, 600, 2},
        {nullptr, "Xft.dpi: abc", 2560, 1600, 1, false, 100000, 1600, 4},
        {nullptr, "Xft.dpi: -192", 0, 0, 1, false, 100000, 100000, 16},
        {"16", nullptr, 1920, 1080, 2, false, 2000, 1300, 2},
        {"2", nullptr, 600, 400, 1, false, 1280, 800, 1},
        {"abc", "Xft.dpi: 192", 2560, 1600, 2, true, 0, 0, 0},
        {"17", nullptr, 2560, 1600, 1, true, 0, 0, 0},  {" 2", nullptr, 2560, 1600, 1, true, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.variable ? c.variable : "unset") << " / "
                                        << (c.resources ? c.resources : "none") << " in " << c.room_w);
        zoom_room_width = c.room_w;
        zoom_room_height = c.room_h;
        bool warned = false;
        EXPECT_EQ(zoom_chosen(c.variable, c.resources, 640, 400, warned), c.zoom);
        EXPECT_EQ(warned, c.warned);
        EXPECT_EQ(c.resized_w ? zoom_settled(c.resized_w, c.resized_h, 640, 400) : 0, c.settled);
    }
    // Two monitors under one work area (a panel along the top of both): the
    // room is the monitor under the pointer, else the primary, in that area.
    const zoom_monitor monitors[] = {{0, 0, 2560, 1600, false}, {2560, 0, 1280, 800, true}};
    const long area[] = {0, 40, 3840, 1560};
    for (auto [px, py, zoom] : {std::tuple{100, 100, 3}, {3000, 100, 1}, {-1, -1, 1}}) {
        zoom_room_on(monitors, 2, px, py, area, 3840, 1600);
        EXPECT_EQ(zoom_fitting(16, 640, 400), zoom) << px;
    }
    EXPECT_EQ(std::make_pair(zoom_room_width, zoom_room_height), std::make_pair(1280, 760));
}

// Alt+Enter steps through windowed, stretched, stretched smooth, square
// pixels and square pixels smooth (the end-to-end test sees each), skipping
// the states the allowed settings exclude. Each press requests the next
// state's mode; the display callback carries the request out, and presses
// before it does follow the request.
TEST(AltEnter, CyclesThroughTheStatesTheAllowedSettingsLeave) {
    fullscreen_mode = fullscreen_smooth = fullscreen_allowed_mode = 0;
    fullscreen_allowed_smooth = -1;
    fullscreen_request = -1;
    for (int i = 0; i < 2; ++i) fullscreen_alt_enter_cycle();   // stretched, square pixels
    EXPECT_EQ(std::make_pair(fullscreen_request.load(), fullscreen_smooth.load()), std::make_pair(2, 0));
    fullscreen_mode = 2;                       // square pixels reached
    fullscreen_request = -1;
    fullscreen_alt_enter_cycle();              // windowed
    EXPECT_EQ(fullscreen_request, 0);
    fullscreen_allowed_mode = 2;
    fullscreen_allowed_smooth = 1;
    fullscreen_alt_enter_cycle();              // square pixels smooth: the stale request goes
    EXPECT_EQ(std::make_tuple(fullscreen_request.load(), fullscreen_mode.load(), fullscreen_smooth.load()),
              std::make_tuple(-1, 2, 1));
    EXPECT_EQ(render_forced_refresh.exchange(0), 1);
}
