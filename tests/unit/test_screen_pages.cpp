// SCREEN: the text pages in video memory, graphics modes, program images as
// the screen, the image table.
#include <gtest/gtest.h>

#include <tuple>

#include "runtime/core/emulated_memory.h"
#include "tests/unit/console_screen.h"

namespace {

std::uint8_t* video() { return emulated_address(video_memory_address); }

// First in this file: nothing has made a page before it.
TEST(ScreenStartUp, EightTextPagesInVideoMemory) {
    ASSERT_EQ(write_page, nullptr);
    fonts_install();
    palettes_install();
    screen_set_mode(0, 0, 0, 0, 0, 1);
    ASSERT_NE(write_page, nullptr);
    EXPECT_EQ(std::pair(display_page, source_image), std::pair(write_page, write_page));
    for (int p = 0; p < 8; ++p) {
        const screen_image* page = image_get(page_slot(p));
        EXPECT_EQ(std::tuple(page->cells, page->flags & (image_is_screen_page | image_owns_cells), page->width,
                             page->height, page->font), std::tuple(video() + p * 4096, image_is_screen_page, 80, 25, 16u))
            << p;
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
        {1, 320, 200, 2, 8, 3, 24, 3}, {9, 640, 350, 4, 14, 15, 24, 15}, {12, 640, 480, 4, 16, 15, 29, 15},
        {32, 100, 100, 32, 16, -1, 5, 0xFFFFFFFF}};
    for (const auto& e : records) {
        const std::int32_t slot = image_new(e.width, e.height, e.mode);
        const screen_image* r = image_get(slot);
        const bool wide = e.mode == 32;
        EXPECT_EQ(std::tuple(r->is_text, r->color_bits, r->color_mask, r->font, r->fg_color, r->view_bottom,
                             r->bytes_per_cell, r->palette == nullptr, r->bg_color),
                  std::tuple(0, e.color_bits, e.color_mask, static_cast<std::uint32_t>(e.font),
                             static_cast<std::uint32_t>(e.fg), e.view_bottom, wide ? 4 : 1, wide,
                             wide ? 0xFF000000u : 0u)) << e.mode;
        image_free(slot);
    }
}

TEST(Screen, BadModesAndHandlesChangeNothing) {
    fresh_text_screen();
    for (int mode : {3, 4, 5, 6, 14, 32, 256, -page_slot(3), -500000, INT32_MIN}) {
        screen_image* page = write_page;
        screen_set_mode(mode, 0, 0, 0, 0, 1);
        EXPECT_EQ(std::pair(pending_error.exchange(0), write_page), std::pair(mode < 0 ? 258 : 5, page)) << mode;
    }
    expect_error_5("SCREEN 0, , -1", [] { screen_set_mode(0, 0, -1, 0, 0, 5); });
    EXPECT_EQ(allow_50_rows, 1);
}

TEST(Screen, ActiveAndVisualPages) {
    fresh_text_screen();
    screen_image* first = write_page;
    screen_set_mode(0, 0, 1, 2, 0, 1 | 4 | 8);
    EXPECT_EQ(std::tuple(allow_50_rows, active_page_number, write_page, source_image, display_page),
              std::tuple(0, 1, image_get(page_slot(1)), image_get(page_slot(1)), image_get(page_slot(2))));
    screen_set_mode(0, 0, 11, 0, 0, 4);  // a page beyond the eight is made on demand and shares page 0's palette
    ASSERT_EQ(std::pair(page_count(), page_slot(9)), std::pair(12, 0));
    EXPECT_EQ(std::tuple(write_page, write_page->palette, write_page->flags & (image_owns_cells | image_owns_palette),
                         write_page->cells[2 * 1999 + 1]),
              std::tuple(image_get(page_slot(11)), first->palette, image_owns_cells, 7));
    screen_set_mode(0, 0, 0, 0, 0, 4 | 8);  // page 0 is a page too
    EXPECT_EQ(std::tuple(pending_error.load(), write_page, display_page), std::tuple(0, first, first));
}

TEST(Screen, GraphicsModeImageHandleAndBackToText) {
    fresh_text_screen();
    screen_set_mode(12, 0, 0, 0, 0, 1);
    EXPECT_EQ(std::tuple(write_page->width, write_page->height, display_page), std::tuple(640, 480, write_page));
    const std::int32_t program_image = image_new(64, 32, 32);
    screen_set_mode(-program_image, 0, 0, 0, 0, 1);
    EXPECT_EQ(std::pair(write_page, write_page->flags & image_is_screen_page),
              std::pair(image_get(program_image), image_is_screen_page));
    screen_set_mode(0, 0, 0, 0, 0, 1);  // leaving it keeps the image but unmarks it
    ASSERT_NE(image_get(program_image), nullptr);
    EXPECT_FALSE(image_get(program_image)->flags & image_is_screen_page);
    EXPECT_EQ(std::tuple(write_page->width, write_page->height, write_page->cells), std::tuple(80, 25, video()));
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
            if ((p + 1) * r.page_bytes <= 65536)
                EXPECT_EQ(page->cells, video() + p * r.page_bytes) << p;
            else
                EXPECT_TRUE(page->flags & image_owns_cells) << p;
        }
    }
    EXPECT_EQ(next_text_columns, -1);
}

}  // namespace
