#include <gtest/gtest.h>

#include <tuple>

#include "runtime/core/emulated_memory.h"
#include "tests/unit/console_screen.h"

namespace {

std::uint8_t* video() { return emulated_address(video_memory_address); }

void expect_error(int code, int mode, int active = 0, int presence = 1) {
    pending_error = 0;
    screen_set_mode(mode, 0, active, 0, 0, presence);
    EXPECT_EQ(pending_error.load(), code) << mode << " page " << active;
    pending_error = 0;
}

}  // namespace

// First in this file: nothing has made a page before it.
TEST(ScreenStartUp, EightTextPagesInVideoMemory) {
    ASSERT_EQ(write_page, nullptr);
    fonts_install();
    palettes_install();
    screen_set_mode(0, 0, 0, 0, 0, 1);
    ASSERT_NE(write_page, nullptr);
    EXPECT_EQ(write_page, display_page);
    EXPECT_EQ(write_page, source_image);
    for (int p = 0; p < 8; ++p) {
        screen_image* page = image_get(page_slot(p));
        ASSERT_NE(page, nullptr) << p;
        EXPECT_EQ(page->cells, video() + p * 4096) << p;
        EXPECT_EQ(page->flags & (image_is_screen_page | image_owns_cells), image_is_screen_page);
        EXPECT_EQ(std::tuple(page->width, page->height, page->font), std::tuple(80, 25, 16u));
    }
    screen_image* page = write_page;
    EXPECT_EQ(std::tuple(page->cursor_y, page->cursor_x, page->view_bottom, page->fg_color), std::tuple(1, 1, 24, 7u));
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(page->cells[2 * i] | page->cells[2 * i + 1] << 8, 0x0720) << i;
    page->cursor_x = 9;  // SCREEN 0 again on a text screen changes nothing
    video()[2 * 81] = 'P';
    screen_set_mode(0, 0, 0, 0, 0, 1);
    EXPECT_EQ(write_page, page);
    EXPECT_EQ(page->cursor_x, 9);
    EXPECT_EQ(cell_char(page, 2, 2), 'P');
}

TEST(ImageTable, SlotsRecordsAndReuse) {
    for (int slot : {-1, 0, 1}) EXPECT_EQ(image_get(slot), nullptr) << slot;
    for (auto [w, h, mode] : {std::tuple{0, 10, 13}, {10, 0, 13}, {10, 10, 3}, {10, 10, 14}})
        EXPECT_EQ(image_new(w, h, mode), 0) << w << "x" << h << " mode " << mode;

    const std::int32_t text = image_new(40, 25, 0);
    ASSERT_GE(text, 2);
    EXPECT_EQ(image_get(text)->flags, image_owns_cells | image_owns_palette);
    EXPECT_EQ(image_get(text)->cells[2 * 999 + 1] << 8 | image_get(text)->cells[2 * 999], 0x0720);
    image_free(text);
    EXPECT_EQ(image_get(text), nullptr);
    EXPECT_EQ(image_new(8, 8, 13), text);  // the released slot is reused first
    image_free(text);

    const struct { int mode, width, height, color_bits, font, fg, view_bottom; std::uint32_t color_mask; } records[] = {
        {1, 320, 200, 2, 8, 3, 24, 3},     {9, 640, 350, 4, 14, 15, 24, 15},
        {12, 640, 480, 4, 16, 15, 29, 15}, {32, 100, 100, 32, 16, -1, 5, 0xFFFFFFFF},
    };
    for (const auto& e : records) {
        const std::int32_t slot = image_new(e.width, e.height, e.mode);
        screen_image* r = image_get(slot);
        ASSERT_NE(r, nullptr) << e.mode;
        SCOPED_TRACE(e.mode);
        EXPECT_EQ(r->is_text, 0);
        EXPECT_EQ(r->color_bits, e.color_bits);
        EXPECT_EQ(r->color_mask, e.color_mask);
        EXPECT_EQ(r->font, static_cast<std::uint32_t>(e.font));
        EXPECT_EQ(r->fg_color, static_cast<std::uint32_t>(e.fg));
        EXPECT_EQ(r->view_bottom, e.view_bottom);
        EXPECT_EQ(r->bytes_per_cell, e.mode == 32 ? 4 : 1);
        EXPECT_EQ(r->palette == nullptr, e.mode == 32);
        EXPECT_EQ(r->bg_color, e.mode == 32 ? 0xFF000000u : 0u);
        image_free(slot);
    }
}

TEST(Screen, BadModesHandlesAndPagesChangeNothing) {
    fresh_text_screen();
    screen_image* page = write_page;
    for (int mode : {3, 4, 5, 6, 14, 32, 256}) expect_error(5, mode);
    for (int handle : {-1, -page_slot(3), -500000, INT32_MIN}) expect_error(258, handle);
    expect_error(5, 0, -1, 5);
    EXPECT_EQ(write_page, page);
    EXPECT_EQ(allow_50_rows, 1);
}

TEST(Screen, ActiveAndVisualPages) {
    fresh_text_screen();
    screen_image* first = write_page;
    screen_set_mode(0, 0, 1, 2, 0, 1 | 4 | 8);
    EXPECT_EQ(allow_50_rows, 0);
    EXPECT_EQ(write_page, image_get(page_slot(1)));
    EXPECT_EQ(source_image, write_page);
    EXPECT_EQ(active_page_number, 1);
    EXPECT_EQ(display_page, image_get(page_slot(2)));

    // A page beyond the eight is made on demand and shares page 0's palette.
    screen_set_mode(0, 0, 11, 0, 0, 4);
    ASSERT_EQ(page_count(), 12);
    EXPECT_EQ(page_slot(9), 0);
    EXPECT_EQ(write_page, image_get(page_slot(11)));
    EXPECT_EQ(write_page->palette, first->palette);
    EXPECT_EQ(write_page->flags & (image_owns_cells | image_owns_palette), image_owns_cells);
    EXPECT_EQ(write_page->cells[2 * 1999 + 1], 7);
    screen_set_mode(0, 0, 0, 0, 0, 4 | 8);  // page 0 is a page too
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_EQ(std::pair(write_page, display_page), std::pair(first, first));
}

TEST(Screen, GraphicsModeImageHandleAndBackToText) {
    fresh_text_screen();
    screen_set_mode(12, 0, 0, 0, 0, 1);
    EXPECT_EQ(size_of(write_page), std::pair(640, 480));
    EXPECT_EQ(display_page, write_page);

    const std::int32_t program_image = image_new(64, 32, 32);
    screen_set_mode(-program_image, 0, 0, 0, 0, 1);
    EXPECT_EQ(write_page, image_get(program_image));
    EXPECT_TRUE(write_page->flags & image_is_screen_page);
    screen_set_mode(0, 0, 0, 0, 0, 1);  // leaving it keeps the image but unmarks it
    ASSERT_NE(image_get(program_image), nullptr);
    EXPECT_FALSE(image_get(program_image)->flags & image_is_screen_page);
    EXPECT_EQ(size_of(write_page), std::pair(80, 25));
    EXPECT_EQ(write_page->cells, video());
    image_free(program_image);
}

TEST(Screen, TextGeometryRequests) {
    fresh_text_screen();
    const struct { int columns, rows, font, width, height, got_font, page_bytes; } requests[] = {
        {0, 50, 0, 80, 50, 8, 8000},     // rows only: 80 columns, font 8
        {40, 0, 0, 40, 50, 9, 4000},     // columns only after 50 rows
        {0, 0, 8, 40, 50, 9, 4000},      // a font alone keeps the previous size
        {0, 25, 0, 40, 25, 17, 2048},    // 40 x 25 always uses font 17
        {80, 25, 8, 80, 25, 16, 4096},   // and 80 x 25 font 16
        {80, 43, 0, 80, 43, 14, 6880},   // 43 rows: font 14
        {132, 60, 8, 132, 60, 8, 15840}, // four pages fit in video memory, the others have their own
    };
    for (const auto& r : requests) {
        if (r.columns) next_text_columns = r.columns;
        if (r.rows) next_text_rows = r.rows;
        if (r.font) next_text_font = r.font;
        screen_set_mode(0, 0, 0, 0, 0, 1);
        SCOPED_TRACE(testing::Message() << r.columns << "," << r.rows << "," << r.font);
        EXPECT_EQ(std::tuple(write_page->width, write_page->height, write_page->font),
                  std::tuple(r.width, r.height, static_cast<std::uint32_t>(r.got_font)));
        for (int p = 0; p < 8; ++p) {
            const screen_image* page = image_get(page_slot(p));
            if ((p + 1) * r.page_bytes <= 65536) {
                EXPECT_EQ(page->cells, video() + p * r.page_bytes) << p;
            } else {
                EXPECT_TRUE(page->flags & image_owns_cells) << p;
            }
        }
    }
    EXPECT_EQ(next_text_columns, -1);
}
