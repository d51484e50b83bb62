#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "runtime/core/emulated_memory.h"
#include "tests/unit/console_screen.h"

namespace {

struct locate_args { int row, column, visible, start, stop, presence; };

class Locate : public ::testing::Test {
protected:
    void SetUp() override { fresh_text_screen(); }
    // Each LOCATE must fail with error 5 and leave the cursor and screen size alone.
    void expect_error_5(std::initializer_list<locate_args> calls) {
        for (const auto& a : calls) {
            pending_error = 0;
            const screen_image before = *write_page;
            locate(a.row, a.column, a.visible, a.start, a.stop, a.presence);
            EXPECT_EQ(pending_error.load(), 5) << a.row << "," << a.column << " presence " << a.presence;
            EXPECT_EQ(cursor_at(write_page), cursor_at(&before));
            EXPECT_EQ(write_page->cursor_visible, before.cursor_visible);
            EXPECT_EQ(write_page->height, 25);
        }
        pending_error = 0;
    }
};

}  // namespace

TEST_F(Locate, RowsColumnsAndCursorShape) {
    allow_50_rows = 0;
    locate(25, 1, 0, 0, 0, 3);  // the last row lies outside the region but is allowed
    EXPECT_EQ(write_page->cursor_y, 25);
    locate(3, 0, 0, 0, 0, 1);
    EXPECT_EQ(cursor_at(write_page), std::pair(3, 1));
    expect_error_5({{0, 1, 0, 0, 0, 3}, {26, 1, 0, 0, 0, 3}, {1, 0, 0, 0, 0, 3}, {1, 81, 0, 0, 0, 3},
                    {1, 1, 2, 0, 0, 7}, {1, 1, 1, 32, 0, 15}, {1, 1, 1, 0, -1, 31}});
    locate(0, 0, 1, 6, 7, 28);  // shown on every page of the screen
    for (int p = 0; p < 8; ++p) {
        const screen_image* page = image_get(page_slot(p));
        EXPECT_EQ((std::tuple<int, int, int>(page->cursor_visible, page->cursor_start, page->cursor_stop)), std::tuple(1, 6, 7));
    }
}

TEST_F(Locate, FirstRowBeyondTheScreenSwitchesTo80By50Once) {
    color_set(14, 1, 0, 3);
    print_raw("kept on row 1", 1);
    write_page->cells[2 * 1999] = '!';
    locate(0, 33, 0, 0, 0, 2);
    locate(30, 0, 0, 0, 0, 1);
    ASSERT_EQ(pending_error.load(), 0);
    screen_image* page = write_page;
    EXPECT_EQ(size_of(page), std::pair(80, 50));
    EXPECT_EQ(page->font, 8u);
    EXPECT_EQ(page->view_bottom, 49);
    EXPECT_EQ(page->cells, emulated_address(video_memory_address));
    EXPECT_EQ(cursor_at(page), std::pair(30, 33));
    EXPECT_EQ(std::pair(page->fg_color, page->bg_color), std::pair(14u, 1u));
    EXPECT_EQ(allow_50_rows, 0);
    EXPECT_EQ(row_text(page, 1), "kept on row 1");
    EXPECT_EQ(cell_attribute(page, 1, 1), 0x1E);
    EXPECT_EQ(cell_char(page, 25, 80), '!');
    for (int r = 26; r <= 50; ++r) EXPECT_EQ(row_text(page, r), "") << r;

    locate(50, 1, 0, 0, 0, 3);  // now inside the screen
    EXPECT_EQ(pending_error.load(), 0);
    locate(51, 1, 0, 0, 0, 3);
    EXPECT_EQ(pending_error.load(), 5);
    EXPECT_EQ(write_page->height, 50);
    pending_error = 0;
}

TEST_F(Locate, TheSwitchIsOfferedOnlyOnce) {
    expect_error_5({{51, 1, 0, 0, 0, 3}});  // too far: refused, and the offer is used up
    EXPECT_EQ(allow_50_rows, 0);
    expect_error_5({{30, 1, 0, 0, 0, 3}});
    allow_50_rows = 1;
    expect_error_5({{30, 81, 0, 0, 0, 3}});
}

TEST_F(Locate, ViewPrintSetsTheRegionAndHomesTheCursor) {
    allow_50_rows = 0;
    write_page->holding_cursor = 1;
    view_print(5, 10, 1);
    EXPECT_EQ(region_of(write_page), std::pair(5, 10));
    EXPECT_EQ(cursor_at(write_page), std::pair(5, 1));
    EXPECT_EQ(write_page->holding_cursor, 0);
    expect_error_5({{4, 1, 0, 0, 0, 1}, {11, 1, 0, 0, 0, 1}});
    locate(25, 1, 0, 0, 0, 1);
    EXPECT_EQ(pending_error.load(), 0);
    for (auto [top, bottom] : {std::pair{0, 5}, {6, 5}, {1, 26}}) {
        view_print(top, bottom, 1);
        EXPECT_EQ(pending_error.load(), 5) << top << " TO " << bottom;
        EXPECT_EQ(write_page->view_top, 5);
        pending_error = 0;
    }
    view_print(25, 25, 1);
    EXPECT_EQ(write_page->cursor_y, 25);
    view_print(0, 0, 0);
    EXPECT_EQ(region_of(write_page), std::pair(1, 24));
}
