// The rendering pass on pixels in memory: glyphs, colours, blinking, the
// cursor table, the comparison that redraws only changed cells, frame choice
// and the hand-over of frames between threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/fonts/fonts.h"
#include "runtime/fonts/palettes.h"
#include "runtime/render/frame_renderer.h"
#include "runtime/render/software_frame.h"
#include "runtime/screen/render_pause.h"
#include "runtime/screen/screen_image.h"

namespace {

constexpr std::uint32_t black = 0xFF000000, grey = 0xFFAAAAAA, dark_grey = 0xFF555555, yellow = 0xFFFFFF55,
                        marker = 0x12345678;
using cells = std::set<std::pair<int, int>>;

const software_frame* newest() { return frame_newest_complete(nullptr); }
std::uint32_t pixel(int x, int y) { return newest()->pixels[y * newest()->width + x]; }
std::vector<std::uint32_t> cell_pixels(int column, int row, int w = 8, int h = 16) {
    std::vector<std::uint32_t> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out.push_back(pixel(column * w + x, row * h + y));
    return out;
}
bool cell_is(int column, int row, std::uint32_t colour) {
    return cell_pixels(column, row) == std::vector<std::uint32_t>(128, colour);
}
// The pixels the newest frame redrew (left, top, right, bottom), and
// whether it was drawn onto a copy of the frame before (else whole).
std::tuple<int, int, int, int> redrawn_area(std::int64_t previous_order) {
    EXPECT_EQ(newest()->base_order, previous_order);
    const software_frame* f = newest();
    return {f->changed_left, f->changed_top, f->changed_right, f->changed_bottom};
}
// Marks the last pixel of every 8x16 cell of the newest frame (mark = true), or
// lists the cells that lost the mark since.
cells marked_cells(bool mark) {
    software_frame* f = const_cast<software_frame*>(newest());
    cells redrawn;
    for (int y = 15; y < f->height; y += 16)
        for (int x = 7; x < f->width; x += 8)
            if (mark) f->pixels[y * f->width + x] = marker;
            else if (pixel(x, y) != marker) redrawn.insert({x / 8, y / 16});
    return redrawn;
}

class Renderer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fonts_install();
        palettes_install();
        screen_set_mode(0, 0, 0, 0, 0, 1);
    }
    void SetUp() override {
        software_frames_reset();
        ASSERT_NE(page = display_page, nullptr);
        image_set_font(16, page);
        for (int i = 0; i < 80 * 25; ++i) put(i % 80, i / 80, ' ', 0x07);
        page->cursor_visible = page->holding_cursor = 0;
        page->cursor_start = page->cursor_stop = 4;
        blink_enabled = software_layer_position = 1;
        frame_compare_valid = 0;
        at_phase(false);
    }
    void TearDown() override { manual_clock_stop(); }
    // The blink phase comes from the clock: off for 256 ms, on for 256 ms.
    static void at_phase(bool on) { manual_clock_start(on ? 256 : 0, 0); }
    void put(int column, int row, std::uint8_t c, std::uint8_t a) {
        page->cells[(row * page->width + column) * 2] = c;
        page->cells[(row * page->width + column) * 2 + 1] = a;
    }
    void show_cursor(int x, int y, int holding = 0) {
        page->cursor_visible = 1;
        page->cursor_x = x;
        page->cursor_y = y;
        page->holding_cursor = holding;
        at_phase(true);
        render_software_frame();
    }
    screen_image* page = nullptr;
};

TEST_F(Renderer, EveryBuiltInFontHasItsGlyphsAndCellSizeInEveryDrawingCode) {
    // The font number, its cell size, and where its glyphs start in the working tables.
    const struct font_case { int font, w, h; const std::uint8_t* glyphs; int stride; } cases[] = {
        {8, 8, 8, font_8x8, 64},         {9, 16, 8, font_8x8, 64},
        {14, 8, 14, font_8x16 + 8, 128}, {15, 16, 14, font_8x16 + 8, 128},
        {16, 8, 16, font_8x16, 128},     {17, 16, 16, font_8x16, 128}};
    for (int level = 2; level >= 0; --level)
        for (const font_case& fc : cases) {
            SCOPED_TRACE(testing::Message() << "font " << fc.font << ", drawing code " << select_glyph_drawing(level));
            image_set_font(fc.font, page);
            frame_compare_valid = 0;
            put(3, 2, '0', 0x0E);
            render_software_frame();
            EXPECT_EQ(newest()->width, 80 * fc.w);
            EXPECT_EQ(newest()->height, 25 * fc.h);
            const std::vector<std::uint32_t> cell = cell_pixels(3, 2, fc.w, fc.h);
            for (int y = 0; y < fc.h; ++y)
                for (int x = 0; x < fc.w; ++x)   // a glyph column covers two pixels in the wide fonts
                    EXPECT_EQ(cell[y * fc.w + x], fc.glyphs['0' * fc.stride + y * 8 + x / (fc.w / 8)] ? yellow : black)
                        << x << "," << y;
        }
    select_glyph_drawing(2);
}

TEST_F(Renderer, Bit7BlinksOnlyWhileBlinkingIsEnabled) {
    // blink_enabled 0: bit 7 is a fourth background bit, bright background, no blinking.
    const struct { int enabled, c; bool phase; std::uint32_t colour; } cases[] = {
        {1, 219, false, grey}, {1, 219, true, black}, {0, ' ', true, dark_grey}, {0, ' ', false, dark_grey}};
    for (const auto& k : cases) {
        blink_enabled = k.enabled;
        put(0, 0, static_cast<std::uint8_t>(k.c), 0x87);
        at_phase(k.phase);
        render_software_frame();
        EXPECT_TRUE(cell_is(0, 0, k.colour)) << k.enabled << k.phase;
        // The screen thread looks again at the next flip only while something blinks.
        EXPECT_EQ(render_blink_deadline.load(), k.enabled ? (k.phase ? 512 : 256) : no_deadline) << k.enabled;
    }
}

TEST_F(Renderer, CursorShapesInSixteenAndEightRowCells) {
    // start, stop, then the filled pixel rows first..last in 16-row and in 8-row cells (-1: none).
    const int shapes[][6] = {
        {0, 0, 0, 0, 0, 0},     {5, 0, -1, -1, -1, -1},  {2, 2, 2, 2, 2, 2},   {4, 4, 14, 14, 7, 7},
        {20, 20, 14, 14, 7, 7}, {6, 7, 13, 14, 6, 7},    {3, 5, 12, 14, 5, 7}, {3, 7, 8, 15, 4, 7},
        {2, 3, 2, 3, 2, 3},     {2, 4, 12, 14, 5, 7},    {2, 6, 2, 15, 2, 7},  {1, 5, 1, 15, 1, 7},
        {0, 3, 0, 3, 0, 3},     {7, 2, 2, 15, 2, 7},     {31, 20, -1, -1, -1, -1}};   // the last starts below the cell
    for (const auto& s : shapes)
        for (int font : {16, 8}) {
            image_set_font(font, page);
            frame_compare_valid = 0;
            page->cursor_start = static_cast<std::uint8_t>(s[0]);
            page->cursor_stop = static_cast<std::uint8_t>(s[1]);
            show_cursor(1, 1);
            std::vector<int> rows, expected;
            for (int y = 0; y < font; ++y) {
                if (pixel(0, y) == grey) rows.push_back(y);
                if (y >= s[font == 16 ? 2 : 4] && y <= s[font == 16 ? 3 : 5]) expected.push_back(y);
            }
            EXPECT_EQ(rows, expected) << s[0] << "," << s[1] << " font " << font;
        }
}

TEST_F(Renderer, HeldCursorShowsAtTheStartOfTheNextRow) {
    show_cursor(80, 5, 2);
    EXPECT_EQ(pixel(0, 5 * 16 + 14), grey);
    EXPECT_EQ(pixel(79 * 8, 4 * 16 + 14), black);
    show_cursor(80, 5, 1);   // shown where it is stored
    EXPECT_EQ(pixel(79 * 8, 4 * 16 + 14), grey);
    EXPECT_EQ(pixel(0, 5 * 16 + 14), black);
    show_cursor(80, 25, 2);  // on the last row a held cursor stays
    EXPECT_EQ(pixel(79 * 8, 24 * 16 + 14), grey);
}

TEST_F(Renderer, OnlyChangedCellsAreRedrawn) {
    put(5, 5, 'B', 0x81);
    show_cursor(10, 3);
    EXPECT_TRUE(cell_is(5, 5, black));   // blinked off
    marked_cells(true);
    std::int64_t previous = newest()->order;
    page->cursor_x = 11;   // the cursor moves: the cell it left and the one it reaches
    render_software_frame();
    EXPECT_EQ(marked_cells(false), (cells{{9, 2}, {10, 2}}));
    EXPECT_EQ(redrawn_area(previous), std::make_tuple(72, 32, 88, 48));
    EXPECT_EQ(pixel(10 * 8, 2 * 16 + 14), grey);
    EXPECT_EQ(pixel(9 * 8, 2 * 16 + 14), black);

    marked_cells(true);
    put(40, 20, 'x', 0x1F);
    render_software_frame();
    EXPECT_EQ(marked_cells(false), (cells{{40, 20}}));

    marked_cells(true);
    previous = newest()->order;
    at_phase(false);   // the phase turns: the cursor cell and the blinking cell
    render_software_frame();
    EXPECT_EQ(marked_cells(false), (cells{{10, 2}, {5, 5}}));
    EXPECT_EQ(redrawn_area(previous), std::make_tuple(40, 32, 88, 96));
    EXPECT_EQ(pixel(10 * 8, 2 * 16 + 14), black);

    marked_cells(true);
    page->palette[9] = 0xFF123456;   // a palette entry no cell uses still redraws every cell
    render_software_frame();
    EXPECT_EQ(marked_cells(false).size(), 2000u);
    EXPECT_EQ(redrawn_area(0), std::make_tuple(0, 0, 640, 400));
    page->palette[9] = default_palette_256[9];
}

TEST_F(Renderer, UnchangedPageMakesNoNewFrameButTheOrderAdvances) {
    put(0, 0, 'Z', 0x07);
    render_software_frame();
    const std::int64_t first = newest()->order;
    for (int pass = 0; pass < 40; ++pass) {   // phases turn, nothing blinks
        const std::int64_t before = latest_frame_order;
        render_software_frame();
        EXPECT_GT(latest_frame_order, before);
        EXPECT_EQ(render_blink_deadline.load(), no_deadline);
        manual_clock_advance(32);
    }
    EXPECT_EQ(newest()->order, first);

    // A frame is brought up to the newest picture by copying the rows
    // redrawn since the picture it holds, over several passes: the same
    // picture as one drawn whole.
    for (int row : {20, 2, 11}) {
        put(1, row, 'r', 0x07);
        render_software_frame();
    }
    const std::vector<std::uint32_t> last(newest()->pixels, newest()->pixels + 640 * 400);
    frame_compare_valid = 0;
    render_software_frame();
    EXPECT_TRUE(std::equal(last.begin(), last.end(), newest()->pixels));

    software_layer_position = 0;    // a hidden software layer is not drawn
    const std::int64_t shown = newest()->order;
    put(1, 1, 'q', 0x07);
    render_software_frame();
    EXPECT_EQ(newest()->order, shown);
    software_layer_position = 1;
    render_software_frame();
    EXPECT_GT(newest()->order, shown);
}

void set_frame(software_frame& frame, std::int32_t state, std::int64_t order) {
    frame.state = state;
    frame.order = order;
}

TEST_F(Renderer, NoFrameFreeReusesTheOlderReadyOneAndTheNewestIsShown) {
    software_frame* f = software_frames;
    next_frame_order = 200;
    set_frame(f[0], frame_on_screen, 100);
    set_frame(f[1], frame_ready, 102);
    set_frame(f[2], frame_ready, 101);
    software_frame* chosen = frame_claim_for_writing();
    ASSERT_EQ(chosen, &f[2]);   // no frame free: the older ready one is reused
    EXPECT_EQ(chosen->state, frame_being_written);
    EXPECT_EQ(chosen->order, 200);
    frame_release_written(chosen, false);
    EXPECT_EQ(chosen->state, frame_free);
    EXPECT_EQ(latest_frame_order, 200);

    // The window thread shows the newest ready frame and frees the older ones.
    set_frame(f[2], frame_ready, 103);
    bool is_new = false;
    EXPECT_EQ(frame_claim_for_display(&is_new), &f[2]);
    EXPECT_TRUE(is_new);
    EXPECT_EQ(f[0].state, frame_free);
    EXPECT_EQ(f[1].state, frame_free);
    EXPECT_EQ(frame_claim_for_display(&is_new), &f[2]);
    EXPECT_FALSE(is_new);
}

TEST_F(Renderer, GraphicsPagesLookUpThePaletteOrCopyTheirPixels) {
    screen_image* indexed = image_get(image_new(32, 20, 13));
    screen_image* direct = image_get(image_new(4, 3, 32));
    ASSERT_TRUE(indexed && direct);
    indexed->cells[0] = 4;
    indexed->cells[32 * 20 - 1] = 40;
    display_page = indexed;
    render_software_frame();
    EXPECT_EQ(newest()->width, 32);
    EXPECT_EQ(pixel(0, 0), 0xFFAA0000u);
    EXPECT_EQ(pixel(31, 19), 0xFFFF0000u);   // entry 40 of the 256-colour palette
    EXPECT_EQ(pixel(1, 0), black);
    const std::int64_t first = newest()->order;
    render_software_frame();
    EXPECT_EQ(newest()->order, first);       // unchanged: no new frame
    render_forced_refresh = 1;               // unless the window's presentation changed
    render_software_frame();
    EXPECT_GT(newest()->order, first);
    EXPECT_EQ(render_forced_refresh, 0);

    reinterpret_cast<std::uint32_t*>(direct->cells)[5] = 0x80123456;
    display_page = direct;
    frame_compare_valid = 0;
    render_software_frame();
    EXPECT_EQ(newest()->width, 4);
    EXPECT_EQ(pixel(1, 1), 0x80123456u);
    display_page = page;
}

TEST_F(Renderer, PauseRequestIsAnsweredWithoutDrawing) {
    render_pause = 1;
    const std::int64_t before = latest_frame_order;
    render_software_frame();
    EXPECT_EQ(render_pause, 2);
    EXPECT_EQ(latest_frame_order, before);
    EXPECT_EQ(pass_done, 1);
    render_pause = 0;
    screen_shown = -1;   // one more pass, then hidden
    render_software_frame();
    EXPECT_EQ(screen_shown, 0);
    screen_shown = 1;
}

// Blink flips rendered by a second thread (the window thread's duty) beside
// the screen thread's passes: one pass at a time, and the last pass shows
// the phase of the clock.
TEST_F(Renderer, BlinkPassesOnASecondThreadRunBesideTheOthers) {
    show_cursor(3, 2);
    std::thread screen([] {
        for (int pass = 0; pass < 300; ++pass) render_software_frame();
    });
    int flips = 0;
    for (int step = 0; step < 300; ++step) {
        manual_clock_advance(128);
        const std::int32_t passes = render_pass_count.load();
        blink_pass_when_due();
        flips += render_pass_count.load() != passes;
    }
    screen.join();
    EXPECT_GT(flips, 0);
    EXPECT_EQ(render_passes_begun.load(), render_passes_finished.load());
    for (std::uint32_t colour : {black, grey, black}) {   // from 38,912 ms, a phase each
        manual_clock_advance(256);
        blink_pass_when_due();
        EXPECT_EQ(pixel(2 * 8, 16 + 14), colour);
    }
}

// Frames passed between the renderer on a thread of its own and a consumer
// that follows the display callback's rules: a frame on screen is never
// written to, every shown frame is complete (each pass prints one whole page
// of a single character), and the consumer ends on the newest frame.
bool complete(const software_frame* frame) {
    for (int y = 0; y < frame->height; ++y)
        for (int x = 8; x < frame->width; ++x)
            if (frame->pixels[y * frame->width + x] != frame->pixels[y * frame->width + x % 8]) return false;
    return true;
}

TEST_F(Renderer, FramesAreFilledOnlyWhenFreeWhileOthersAreShown) {
    std::atomic<bool> done{false};
    std::thread renderer([&] {
        for (int pass = 0; pass < 300; ++pass) {
            const auto c = static_cast<std::uint8_t>(pass % 3 == 0 ? 'A' + pass % 26 : page->cells[0]);
            for (int i = 0; i < 80 * 25; ++i) page->cells[2 * i] = c;
            render_software_frame();
        }
        done = true;
    });
    // Each shown frame is checked twice: it must stay untouched while on screen.
    int faults = 0;
    std::int64_t last = 0;
    for (bool finished = false; !finished;) {
        finished = done.load();
        bool is_new = false;
        const software_frame* frame = frame_claim_for_display(&is_new);
        if (!frame) continue;
        if (frame->state.load() != frame_on_screen || frame->order < last) ++faults;
        last = frame->order;
        if (!complete(frame)) ++faults;
        std::this_thread::yield();
        if (!complete(frame)) ++faults;
    }
    renderer.join();
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(last, frame_newest_complete(nullptr)->order);
}

}  // namespace
