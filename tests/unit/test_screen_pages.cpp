// SCREEN: the text pages in video memory, graphics modes, program images as
// the screen.
#include <gtest/gtest.h>

#include <tuple>

#include "runtime/core/emulated_memory.h"
#include "tests/unit/console_screen.h"

namespace {

std::uint8_t* video() { return emulated_address(video_memory_address); }

TEST(Screen, ActiveAndVisualPages) {
    fresh_text_screen();
    screen_image* first = write_page;
    screen_set_mode(0, 0, 1, 2, 0, 1 | 4 | 8);
    EXPECT_EQ(std::tuple(allow_50_rows, active_page_number, write_page, source_image, display_page),
              std::tuple(0, 1, image_get(page_slot(1)), image_get(page_slot(1)), image_get(page_slot(2))));
    screen_set_mode(0, 0, 11, 0, 0, 4);  // a page beyond the eight is made on demand and shares page 0's palette
    ASSERT_EQ(page_count(), 12);
    EXPECT_EQ(write_page, image_get(page_slot(11)));
    EXPECT_EQ(write_page->palette, first->palette);
    EXPECT_EQ(write_page->flags & (image_owns_cells | image_owns_palette), image_owns_cells);
    screen_set_mode(0, 0, 40, 0, 0, 4);  // the page list grows again
    screen_set_mode(0, 0, 0, 0, 0, 4 | 8);  // page 0 is a page too
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_EQ(write_page, first);
    EXPECT_EQ(display_page, first);
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
}

}  // namespace
