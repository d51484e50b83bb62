// The rendering pass on pixels in memory: glyphs, colours, blinking, the
// cursor table, the comparison that redraws only changed cells, frame choice.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "fake_dialog.h"
#include "runtime/console/screen_image.h"
#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"
#include "runtime/display/software_frame.h"

namespace {

constexpr std::uint32_t black = 0xFF000000, grey = 0xFFAAAAAA, dark_grey = 0xFF555555, yellow = 0xFFFFFF55,
                        blue = 0xFF0000AA;
constexpr std::uint32_t marker = 0x12345678;

class Renderer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fonts_install();
        palettes_install();
        screen_set_mode(0, 0, 0, 0, 0, 1);
    }
    void SetUp() override {
        software_frames_reset();
        page = display_page;
        ASSERT_NE(page, nullptr);
        image_set_font(16, page);
        for (int i = 0; i < 80 * 25; ++i) put(i % 80, i / 80, ' ', 0x07);
        page->cursor_visible = 0;
        page->cursor_start = page->cursor_stop = 4;
        page->holding_cursor = 0;
        blink_enabled = 1;
        software_layer_position = 1;
        frame_compare_valid = 0;
        set_phase(false);
    }

    void put(int column, int row, std::uint8_t c, std::uint8_t a) {
        page->cells[(row * page->width + column) * 2] = c;
        page->cells[(row * page->width + column) * 2 + 1] = a;
    }
    static void set_phase(bool on) { render_pass_count = on ? 8 : 0; }
    static const software_frame* newest() { return frame_newest_complete(nullptr); }
    static std::uint32_t pixel(int x, int y) {
        const software_frame* f = newest();
        return f->pixels[y * f->width + x];
    }
    // The colours of one cell, row by row.
    static std::vector<std::uint32_t> cell_pixels(int column, int row, int w, int h) {
        std::vector<std::uint32_t> out;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) out.push_back(pixel(column * w + x, row * h + y));
        return out;
    }
    // Marks one pixel of every cell of the newest frame, to see which cells a pass redraws.
    static void mark_every_cell(int w = 8, int h = 16) {
        software_frame* f = const_cast<software_frame*>(newest());
        for (int y = 0; y < f->height; y += h)
            for (int x = 0; x < f->width; x += w) f->pixels[(y + h - 1) * f->width + x + w - 1] = marker;
    }
    static std::set<std::pair<int, int>> redrawn_cells(int w = 8, int h = 16) {
        std::set<std::pair<int, int>> cells;
        const software_frame* f = newest();
        for (int y = 0; y < f->height; y += h)
            for (int x = 0; x < f->width; x += w)
                if (f->pixels[(y + h - 1) * f->width + x + w - 1] != marker) cells.insert({x / w, y / h});
        return cells;
    }
    // The filled pixel rows of the cursor cell (0, 0), which holds a space.
    std::vector<int> cursor_rows(int start, int stop) {
        page->cursor_visible = 1;
        page->cursor_start = static_cast<std::uint8_t>(start);
        page->cursor_stop = static_cast<std::uint8_t>(stop);
        page->cursor_x = page->cursor_y = 1;
        set_phase(true);
        render_software_frame();
        const int h = font_height[page->font];
        std::vector<int> rows;
        for (int y = 0; y < h; ++y)
            if (pixel(0, y) == grey) rows.push_back(y);
        return rows;
    }

    screen_image* page = nullptr;
};

std::vector<int> range(int first, int last) {
    std::vector<int> r;
    for (int i = first; i <= last; ++i) r.push_back(i);
    return r;
}

TEST_F(Renderer, DefaultAttributeAndFullBlock) {
    put(0, 0, 'A', 0x07);
    put(1, 0, 219, 0x1E);
    render_software_frame();
    ASSERT_NE(newest(), nullptr);
    EXPECT_EQ(newest()->width, 640);
    EXPECT_EQ(newest()->height, 400);
    const std::vector<std::uint32_t> a = cell_pixels(0, 0, 8, 16);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(a[i], font_8x16['A' * 128 + i] ? grey : black) << i;
    for (std::uint32_t p : cell_pixels(1, 0, 8, 16)) EXPECT_EQ(p, yellow);
    for (std::uint32_t p : cell_pixels(2, 0, 8, 16)) EXPECT_EQ(p, black);
}

TEST_F(Renderer, EveryBuiltInFontHasItsGlyphsAndCellSizeInEveryDrawingCode) {
    struct font_case {
        int font, w, h;
        const std::uint8_t* glyphs;
        int stride;
    };
    const font_case cases[] = {{8, 8, 8, font_8x8, 64},          {9, 16, 8, font_8x8, 64},
                               {14, 8, 14, font_8x16 + 8, 128},   {15, 16, 14, font_8x16 + 8, 128},
                               {16, 8, 16, font_8x16, 128},       {17, 16, 16, font_8x16, 128}};
    for (int level = 2; level >= 0; --level) {
        for (const font_case& fc : cases) {
            SCOPED_TRACE(testing::Message() << "font " << fc.font << ", drawing code " << select_glyph_drawing(level));
            image_set_font(fc.font, page);
            frame_compare_valid = 0;
            put(3, 2, '0', 0x0E);
            render_software_frame();
            EXPECT_EQ(newest()->width, 80 * fc.w);
            EXPECT_EQ(newest()->height, 25 * fc.h);
            const std::vector<std::uint32_t> cell = cell_pixels(3, 2, fc.w, fc.h);
            const int step = fc.w / 8;   // each glyph column covers two pixels in the wide fonts
            for (int y = 0; y < fc.h; ++y)
                for (int x = 0; x < fc.w; ++x)
                    EXPECT_EQ(cell[y * fc.w + x], fc.glyphs['0' * fc.stride + y * 8 + x / step] ? yellow : black)
                        << x << "," << y;
        }
    }
    select_glyph_drawing(2);
}

TEST_F(Renderer, Bit7BlinksOnlyWhileBlinkingIsEnabled) {
    put(0, 0, 219, 0x87);
    render_software_frame();
    for (std::uint32_t p : cell_pixels(0, 0, 8, 16)) EXPECT_EQ(p, grey);
    set_phase(true);
    render_software_frame();
    for (std::uint32_t p : cell_pixels(0, 0, 8, 16)) EXPECT_EQ(p, black);   // the character disappears

    blink_enabled = 0;   // bit 7 is a fourth background bit: bright background, no blinking
    put(0, 0, ' ', 0x87);
    render_software_frame();
    for (std::uint32_t p : cell_pixels(0, 0, 8, 16)) EXPECT_EQ(p, dark_grey);
    set_phase(false);
    render_software_frame();
    for (std::uint32_t p : cell_pixels(0, 0, 8, 16)) EXPECT_EQ(p, dark_grey);
}

TEST_F(Renderer, CursorShapesInSixteenAndEightRowCells) {
    struct shape {
        int start, stop;
        std::vector<int> rows16, rows8;
    };
    const shape shapes[] = {
        {0, 0, {0}, {0}},
        {5, 0, {}, {}},
        {2, 2, {2}, {2}},
        {4, 4, {14}, {7}},
        {20, 20, {14}, {7}},
        {6, 7, {13, 14}, {6, 7}},
        {3, 5, {12, 13, 14}, {5, 6, 7}},
        {3, 7, range(8, 15), range(4, 7)},
        {2, 3, {2, 3}, {2, 3}},
        {2, 4, {12, 13, 14}, {5, 6, 7}},
        {2, 6, range(2, 15), range(2, 7)},
        {1, 5, range(1, 15), range(1, 7)},
        {0, 3, range(0, 3), range(0, 3)},
        {7, 2, range(2, 15), range(2, 7)},
        {31, 20, {}, {}},   // starts below the cell
    };
    for (const shape& s : shapes) {
        SCOPED_TRACE(testing::Message() << s.start << "," << s.stop);
        image_set_font(16, page);
        frame_compare_valid = 0;
        EXPECT_EQ(cursor_rows(s.start, s.stop), s.rows16);
        image_set_font(8, page);
        frame_compare_valid = 0;
        EXPECT_EQ(cursor_rows(s.start, s.stop), s.rows8);
    }
}

TEST_F(Renderer, HeldCursorShowsAtTheStartOfTheNextRow) {
    page->cursor_visible = 1;
    page->cursor_x = 80;
    page->cursor_y = 5;
    page->holding_cursor = 2;
    set_phase(true);
    render_software_frame();
    EXPECT_EQ(pixel(0, 5 * 16 + 14), grey);
    EXPECT_EQ(pixel(79 * 8, 4 * 16 + 14), black);
    page->holding_cursor = 1;   // shown where it is stored
    render_software_frame();
    EXPECT_EQ(pixel(79 * 8, 4 * 16 + 14), grey);
    EXPECT_EQ(pixel(0, 5 * 16 + 14), black);
    page->cursor_y = 25;        // on the last row a held cursor stays
    page->holding_cursor = 2;
    render_software_frame();
    EXPECT_EQ(pixel(79 * 8, 24 * 16 + 14), grey);
}

TEST_F(Renderer, OnlyChangedCellsAreRedrawn) {
    page->cursor_visible = 1;
    page->cursor_x = 10;
    page->cursor_y = 3;
    set_phase(true);
    render_software_frame();

    mark_every_cell();
    page->cursor_x = 11;   // the cursor moves: the cell it left and the one it reaches
    render_software_frame();
    EXPECT_EQ(redrawn_cells(), (std::set<std::pair<int, int>>{{9, 2}, {10, 2}}));
    EXPECT_EQ(pixel(10 * 8, 2 * 16 + 14), grey);
    EXPECT_EQ(pixel(9 * 8, 2 * 16 + 14), black);

    mark_every_cell();
    put(40, 20, 'x', 0x1F);
    render_software_frame();
    EXPECT_EQ(redrawn_cells(), (std::set<std::pair<int, int>>{{40, 20}}));

    mark_every_cell();
    set_phase(false);      // the cursor blinks off: only its cell
    render_software_frame();
    EXPECT_EQ(redrawn_cells(), (std::set<std::pair<int, int>>{{10, 2}}));
    EXPECT_EQ(pixel(10 * 8, 2 * 16 + 14), black);

    mark_every_cell();
    page->palette[9] = 0xFF123456;   // a palette entry no cell uses still redraws every cell
    render_software_frame();
    EXPECT_EQ(redrawn_cells().size(), 2000u);
    page->palette[9] = default_palette_256[9];
}

TEST_F(Renderer, BlinkingCellsAloneAreRedrawnWhenThePhaseTurns) {
    put(5, 5, 'B', 0x81);
    render_software_frame();
    mark_every_cell();
    set_phase(true);
    render_software_frame();
    EXPECT_EQ(redrawn_cells(), (std::set<std::pair<int, int>>{{5, 5}}));
    for (std::uint32_t p : cell_pixels(5, 5, 8, 16)) EXPECT_EQ(p, black);
}

TEST_F(Renderer, UnchangedPageMakesNoNewFrameButTheOrderAdvances) {
    put(0, 0, 'Z', 0x07);
    render_software_frame();
    const std::int64_t first = newest()->order;
    for (int pass = 0; pass < 40; ++pass) {   // blink phases turn, but nothing blinks
        const std::int64_t before = latest_frame_order;
        render_software_frame();
        ++render_pass_count;
        EXPECT_GT(latest_frame_order, before);
    }
    EXPECT_EQ(newest()->order, first);

    page->cursor_visible = 1;   // a visible cursor changes the frame every 8 passes
    render_pass_count = 0;
    std::set<std::int64_t> orders;
    for (int pass = 0; pass < 32; ++pass) {
        render_software_frame();
        ++render_pass_count;
        orders.insert(newest()->order);
    }
    EXPECT_EQ(orders.size(), 4u);   // the frame before, then one at each of the 3 phase turns
}

TEST_F(Renderer, HiddenSoftwareLayerIsNotDrawn) {
    render_software_frame();
    const std::int64_t first = newest()->order;
    software_layer_position = 0;
    put(1, 1, 'q', 0x07);
    render_software_frame();
    EXPECT_EQ(newest()->order, first);
    software_layer_position = 1;
    render_software_frame();
    EXPECT_GT(newest()->order, first);
}

TEST_F(Renderer, FrameChoicePrefersFreeFramesThenTheOldestReady) {
    software_frame* f = software_frames;
    software_frame* chosen = frame_claim_for_writing();
    EXPECT_EQ(chosen, &f[2]);   // the last free frame by index
    frame_release_written(chosen, true);

    next_frame_order = 200;
    f[0].state = frame_on_screen;
    f[0].order = 100;
    f[1].state = frame_ready;
    f[1].order = 102;
    f[2].state = frame_ready;
    f[2].order = 101;
    chosen = frame_claim_for_writing();
    ASSERT_EQ(chosen, &f[2]);   // no frame free: the older ready one is reused
    EXPECT_EQ(chosen->state, frame_being_written);
    EXPECT_EQ(chosen->order, 200);
    frame_release_written(chosen, false);
    EXPECT_EQ(chosen->state, frame_free);
    EXPECT_EQ(latest_frame_order, chosen->order);

    // The window thread shows the newest ready frame and frees the older ones.
    f[2].state = frame_ready;
    f[2].order = 103;
    bool is_new = false;
    EXPECT_EQ(frame_claim_for_display(&is_new), &f[2]);
    EXPECT_TRUE(is_new);
    EXPECT_EQ(f[0].state, frame_free);
    EXPECT_EQ(f[1].state, frame_free);
    EXPECT_EQ(frame_claim_for_display(&is_new), &f[2]);
    EXPECT_FALSE(is_new);
}

TEST_F(Renderer, MissingPreviousFrameIsReportedAndEveryCellDrawn) {
    fake_dialog dialog;
    render_software_frame();
    software_frames_reset();   // the frames went away while the comparison still holds
    put(7, 7, 'k', 0x07);
    render_software_frame();
    const auto calls = dialog.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].option("title"), "Alert");
    EXPECT_EQ(calls[0].option("text"), "Text Screen Update: Failed to locate previous frame's data for comparison");
    EXPECT_EQ(pixel(0, 0), black);
    EXPECT_NE(cell_pixels(7, 7, 8, 16), cell_pixels(8, 7, 8, 16));
}

TEST_F(Renderer, GraphicsPagesLookUpThePaletteOrCopyTheirPixels) {
    screen_image* text_page = display_page;
    screen_image* indexed = image_get(image_new(32, 20, 13));
    ASSERT_NE(indexed, nullptr);
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
    render_forced_refresh = 1;               // the window's presentation changed
    render_software_frame();
    EXPECT_GT(newest()->order, first);
    EXPECT_EQ(render_forced_refresh, 0);

    screen_image* direct = image_get(image_new(4, 3, 32));
    ASSERT_NE(direct, nullptr);
    reinterpret_cast<std::uint32_t*>(direct->cells)[5] = 0x80123456;
    display_page = direct;
    frame_compare_valid = 0;
    render_software_frame();
    EXPECT_EQ(newest()->width, 4);
    EXPECT_EQ(pixel(1, 1), 0x80123456u);
    display_page = text_page;
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

}  // namespace
