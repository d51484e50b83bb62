#include <gtest/gtest.h>

#include <cstring>

#include "runtime/core/emulated_memory.h"
#include "tests/unit/console_screen.h"

namespace {

// Start-up's part: tables, then SCREEN 0 with only the mode given.
void start_up_screen() {
    fonts_install();
    palettes_install();
    screen_set_mode(0, 0, 0, 0, 0, 1);
    allow_50_rows = 1;
}

}  // namespace

// First in this file: nothing has made a page before it.
TEST(ScreenStartUp, EightTextPagesInVideoMemory) {
    ASSERT_EQ(write_page, nullptr);
    start_up_screen();
    ASSERT_NE(write_page, nullptr);
    EXPECT_EQ(write_page, display_page);
    EXPECT_EQ(write_page, source_image);
    EXPECT_EQ(active_page_number, 0);
    std::uint8_t* video = emulated_address(video_memory_address);
    for (int p = 0; p < 8; ++p) {
        screen_image* page = image_get(page_slot(p));
        ASSERT_NE(page, nullptr) << p;
        EXPECT_EQ(page->cells, video + p * 4096) << p;
        EXPECT_TRUE(page->flags & image_is_screen_page);
        EXPECT_FALSE(page->flags & image_owns_cells);
        EXPECT_EQ(page->width, 80);
        EXPECT_EQ(page->height, 25);
        EXPECT_EQ(page->font, 16u);
    }
    screen_image* page = write_page;
    EXPECT_EQ(page->cursor_x, 1);
    EXPECT_EQ(page->cursor_y, 1);
    EXPECT_EQ(page->view_top, 1);
    EXPECT_EQ(page->view_bottom, 24);
    EXPECT_EQ(page->fg_color, 7u);
    EXPECT_EQ(page->cursor_visible, 0);
    EXPECT_EQ(page->cursor_start, 4);
    EXPECT_EQ(page->color_mask, 65535u);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(page->cells[2 * i] | page->cells[2 * i + 1] << 8, 0x0720) << i;
    // The same storage: a poke shows in the cells and a cell in memory.
    video[2 * 81] = 'P';
    EXPECT_EQ(cell_char(page, 2, 2), 'P');
    page->cells[1] = 0x1F;
    EXPECT_EQ(video[1], 0x1F);

    // SCREEN 0 again on a text screen changes nothing.
    page->cursor_x = 9;
    screen_set_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(write_page, page);
    EXPECT_EQ(page->cursor_x, 9);
    EXPECT_EQ(cell_char(page, 2, 2), 'P');
}

TEST(ImageTable, SlotsRecordsAndReuse) {
    EXPECT_EQ(image_get(0), nullptr);
    EXPECT_EQ(image_get(1), nullptr);
    EXPECT_EQ(image_get(-1), nullptr);
    EXPECT_EQ(image_new(0, 10, 13), 0);
    EXPECT_EQ(image_new(10, 0, 13), 0);
    EXPECT_EQ(image_new(10, 10, 3), 0);
    EXPECT_EQ(image_new(10, 10, 14), 0);

    const std::int32_t text = image_new(40, 25, 0);
    screen_image* image = image_get(text);
    ASSERT_NE(image, nullptr);
    EXPECT_GE(text, 2);
    EXPECT_EQ(image->flags, image_owns_cells | image_owns_palette);
    EXPECT_EQ(image->cells[2 * 999], ' ');
    EXPECT_EQ(image->cells[2 * 999 + 1], 7);
    image_free(text);
    EXPECT_EQ(image_get(text), nullptr);
    EXPECT_EQ(image_new(8, 8, 13), text);  // the released slot is reused first
    image_free(text);

    struct expected {
        int mode, width, height, color_bits, font, fg, view_bottom;
        std::uint32_t color_mask;
    };
    const expected records[] = {
        {1, 320, 200, 2, 8, 3, 24, 3},
        {9, 640, 350, 4, 14, 15, 24, 15},
        {12, 640, 480, 4, 16, 15, 29, 15},
        {32, 100, 100, 32, 16, -1, 5, 0xFFFFFFFF},
    };
    for (const expected& e : records) {
        const std::int32_t slot = image_new(e.width, e.height, e.mode);
        screen_image* r = image_get(slot);
        ASSERT_NE(r, nullptr) << e.mode;
        EXPECT_EQ(r->is_text, 0);
        EXPECT_EQ(r->color_bits, e.color_bits) << e.mode;
        EXPECT_EQ(r->color_mask, e.color_mask) << e.mode;
        EXPECT_EQ(r->font, static_cast<std::uint32_t>(e.font)) << e.mode;
        EXPECT_EQ(r->fg_color, static_cast<std::uint32_t>(e.fg)) << e.mode;
        EXPECT_EQ(r->draw_color, r->fg_color);
        EXPECT_EQ(r->view_bottom, e.view_bottom) << e.mode;
        EXPECT_EQ(r->print_mode, 3);
        EXPECT_EQ(r->transparent_color, -1);
        EXPECT_EQ(r->bytes_per_cell, e.mode == 32 ? 4 : 1);
        EXPECT_EQ(r->palette == nullptr, e.mode == 32) << e.mode;
        EXPECT_EQ(r->bg_color, e.mode == 32 ? 0xFF000000u : 0u);
        image_free(slot);
    }
}

TEST(Screen, BadModesAndHandlesChangeNothing) {
    fresh_text_screen();
    screen_image* page = write_page;
    for (int mode : {3, 4, 5, 6, 14, 32, 256}) {
        pending_error = 0;
        screen_set_mode(mode, 0, 0, 0, 0, 1);
        EXPECT_EQ(pending_error.load(), 5) << mode;
    }
    for (int handle : {-1, -page_slot(3), -500000, INT32_MIN}) {
        pending_error = 0;
        screen_set_mode(handle, 0, 0, 0, 0, 1);
        EXPECT_EQ(pending_error.load(), 258) << handle;
    }
    pending_error = 0;
    screen_set_mode(0, 0, -1, 0, 0, 5);
    EXPECT_EQ(pending_error.load(), 5);
    EXPECT_EQ(write_page, page);
    EXPECT_EQ(allow_50_rows, 1);
    pending_error = 0;
}

TEST(Screen, ActiveAndVisualPages) {
    fresh_text_screen();
    screen_image* first = write_page;
    first->fg_color = 15;
    screen_set_mode(0, 0, 1, 2, 0, 1 | 4 | 8);
    EXPECT_EQ(allow_50_rows, 0);
    EXPECT_EQ(write_page, image_get(page_slot(1)));
    EXPECT_EQ(source_image, write_page);
    EXPECT_EQ(active_page_number, 1);
    EXPECT_EQ(display_page, image_get(page_slot(2)));
    EXPECT_EQ(write_page->cells, first->cells + 4096);

    // A page beyond the eight is made on demand like page 0 and shares its palette.
    screen_set_mode(0, 0, 11, 0, 0, 4);
    ASSERT_EQ(page_count(), 12);
    EXPECT_EQ(page_slot(9), 0);
    EXPECT_EQ(write_page, image_get(page_slot(11)));
    EXPECT_EQ(write_page->palette, first->palette);
    EXPECT_TRUE(write_page->flags & image_owns_cells);
    EXPECT_FALSE(write_page->flags & image_owns_palette);
    EXPECT_EQ(write_page->cells[2 * 1999 + 1], 7);
}

TEST(Screen, GraphicsModeImageHandleAndBackToText) {
    fresh_text_screen();
    screen_set_mode(12, 0, 0, 0, 0, 1);
    ASSERT_NE(write_page, nullptr);
    EXPECT_EQ(write_page->compat_mode, 12);
    EXPECT_EQ(write_page->width, 640);
    EXPECT_EQ(write_page->height, 480);
    EXPECT_EQ(display_page, write_page);

    const std::int32_t program_image = image_new(64, 32, 32);
    screen_set_mode(-program_image, 0, 0, 0, 0, 1);
    EXPECT_EQ(write_page, image_get(program_image));
    EXPECT_TRUE(write_page->flags & image_is_screen_page);

    // Leaving it keeps the program's image but unmarks it.
    screen_set_mode(0, 0, 0, 0, 0, 1);
    ASSERT_NE(image_get(program_image), nullptr);
    EXPECT_FALSE(image_get(program_image)->flags & image_is_screen_page);
    EXPECT_EQ(write_page->width, 80);
    EXPECT_EQ(write_page->height, 25);
    EXPECT_EQ(write_page->cells, emulated_address(video_memory_address));
    image_free(program_image);
}

TEST(Screen, TextGeometryRequests) {
    fresh_text_screen();
    next_text_rows = 50;  // rows only: 80 columns, font 8
    screen_set_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(write_page->width, 80);
    EXPECT_EQ(write_page->height, 50);
    EXPECT_EQ(write_page->font, 8u);
    EXPECT_EQ(image_get(page_slot(7))->cells, emulated_address(video_memory_address) + 7 * 8000);

    next_text_columns = 40;  // columns only after 50 rows: 40 x 50, font 9
    screen_set_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(write_page->width, 40);
    EXPECT_EQ(write_page->height, 50);
    EXPECT_EQ(write_page->font, 9u);

    next_text_font = 8;  // a font alone keeps the previous size
    screen_set_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(write_page->height, 50);
    EXPECT_EQ(write_page->font, 9u);

    next_text_rows = 25;  // 40 x 25 always uses font 17
    screen_set_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(write_page->font, 17u);
    EXPECT_EQ(image_get(page_slot(1))->cells, emulated_address(video_memory_address) + 2048);

    next_text_columns = 80, next_text_rows = 43, next_text_font = 14;
    screen_set_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(write_page->height, 43);
    EXPECT_EQ(write_page->font, 14u);
    EXPECT_EQ(next_text_columns, -1);
}
