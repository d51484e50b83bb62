// The text screen's statements: SCREEN's text geometry and pages in video
// memory, PRINT, LOCATE, VIEW PRINT, PALETTE, COLOR. (The calculator uses no
// graphics mode, no second page, no CLS, no tabs, zones or control characters.)
#include <gtest/gtest.h>

#include "runtime/console/console_image.h"
#include "runtime/core/emulated_memory.h"
#include "tests/unit/console_screen.h"

namespace {

std::uint8_t* video() { return emulated_address(video_memory_address); }

TEST(Screen, TextGeometryRequests) {
    fresh_text_screen();
    const struct { int columns, rows, font, width, height, got_font, page_bytes; } requests[] = {
        {0, 50, 0, 80, 50, 8, 8000},      // rows only: 80 columns, font 8
        {40, 0, 0, 40, 50, 9, 4000},      // columns only after 50 rows
        {0, 0, 8, 40, 50, 9, 4000},       // a font alone keeps the previous size
        {0, 25, 0, 40, 25, 17, 2048},     // 40 x 25 always uses font 17
        {80, 25, 8, 80, 25, 16, 4096},    // and 80 x 25 font 16
        {80, 43, 0, 80, 43, 14, 6880},    // 43 rows: font 14
        {132, 60, 8, 132, 60, 8, 15840},  // four pages fit in video memory, the others have their own
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
            if ((p + 1) * r.page_bytes <= 65536) EXPECT_EQ(page->cells, video() + p * r.page_bytes) << p;
            else EXPECT_TRUE(page->flags & image_owns_cells) << p;
        }
    }
}

using cursor_state = std::tuple<int, int, int>;  // row, column, holding (or cursor shape)

class Print : public ::testing::Test {
protected:
    void SetUp() override {
        fresh_text_screen();
        control_chars_enabled = 1;
        page = write_page;
    }
    cursor_state cursor() const { return {page->cursor_y, page->cursor_x, page->holding_cursor}; }
    std::pair<int, int> region() const { return {page->view_top, page->view_bottom}; }
    screen_image* page = nullptr;
};

TEST_F(Print, AFullLineHoldsItsNewlineUntilTheNextPrint) {
    const std::string line(80, '=');
    const struct { std::string text; int newline; cursor_state after; } steps[] = {
        {line, 0, {1, 80, 1}}, {"", 0, {1, 80, 1}},  // an empty print without newline changes nothing
        {"", 1, {2, 1, 0}},                           // the owed newline, once
        {line, 1, {3, 1, 0}},  {line, 0, {3, 80, 1}},
        {"X", 0, {4, 2, 0}},                          // a non-empty print pays the owed newline first
        {"", 1, {5, 1, 0}},    {line + "Y", 0, {6, 2, 0}},  // past the edge mid-text: wrap at once
    };
    for (const auto& s : steps) {
        print_raw(s.text, s.newline);
        EXPECT_EQ(cursor(), s.after) << s.text.size();
    }
    EXPECT_EQ(row_text(page, 4) + row_text(page, 5) + row_text(page, 6), "X" + line + "Y");
}

// PRINT's check before an item: a new line only when the text would not fit, never at column 1.
TEST_F(Print, FitCheckStartsANewLineOnlyWhenTheTextWouldNotFit) {
    const std::string w(100, 'w');
    for (auto [column, text, row] : {std::tuple{79, "abc", 2}, {78, "abc", 1}, {1, w.c_str(), 1}}) {
        str_desc d = text_view(text);
        move_to(1, column);
        print_fit_check(&d);
        EXPECT_EQ(cursor(), cursor_state(row, row == 2 ? 1 : column, 0));
    }
}

TEST_F(Print, ViewPrintSetsTheRegionThatANewlineScrolls) {
    color_set(14, 1, 0, 3);
    for (int r = 1; r <= 25; ++r) {
        move_to(r, 1);
        print_raw(std::string(1, static_cast<char>('A' + r - 1)));
    }
    page->holding_cursor = 1;
    allow_50_rows = 0;
    view_print(5, 10, 1);
    EXPECT_EQ(cursor(), cursor_state(5, 1, 0));
    for (int row : {4, 11}) expect_error_5("LOCATE", [&] { locate(row, 1, 0, 0, 0, 1); });
    for (auto [top, bottom] : {std::pair{0, 5}, {6, 5}, {1, 26}})
        expect_error_5("VIEW PRINT", [&] { view_print(top, bottom, 1); });
    move_to(10, 3);
    print_newline();
    EXPECT_EQ(cursor(), cursor_state(10, 1, 0));
    for (int r = 1; r <= 25; ++r)
        EXPECT_EQ(cell_char(page, r, 1), r < 5 || r > 10 ? 'A' + r - 1 : r < 10 ? 'A' + r : ' ') << r;
    EXPECT_EQ(cell_attribute(page, 10, 80), 0x1E);
    view_print(25, 25, 1);
    EXPECT_EQ(page->cursor_y, 25);
    view_print(0, 0, 0);  // a newline on the last row, outside the region, scrolls the region
    EXPECT_EQ(region(), std::pair(1, 24));
    move_to(25, 1);
    print_raw("last", 1);
    EXPECT_EQ(cursor(), cursor_state(24, 1, 0));
    EXPECT_EQ(row_text(page, 25) + row_text(page, 23), "lastX");
}

TEST_F(Print, NothingWhileAnErrorIsPending) {
    const std::string w(90, 'w');
    str_desc wide = text_view(w.c_str());
    move_to(1, 5);
    const std::vector<std::int64_t> before = page_state(page);
    pending_error = 7;
    print_raw("x", 1);
    print_fit_check(&wide);
    print_next_zone();
    locate(3, 3, 0, 0, 0, 3);
    view_print(2, 3, 1);
    color_set(1, 2, 0, 3);
    palette_set(0, 1, 1);
    cls(0, 0, 0);
    EXPECT_EQ(pending_error.exchange(0), 7);
    EXPECT_TRUE(page_state(page) == before);
}

TEST_F(Print, PaletteAndColorInTextMode) {
    palette_set(15, 63, 1);
    palette_set(256, 1, 1);  // the attribute's low byte: PALETTE 0, 1
    EXPECT_EQ(std::pair(page->palette[15], page->palette[0]), std::pair(ega_palette_64[63], 0xFF0000AAu));
    for (auto [index, colour] : {std::pair{16, 1}, {-1, 1}, {0, 64}, {0, -1}})
        expect_error_5("PALETTE", [&] { palette_set(index, colour, 1); });
    palette_set(99, 99, 0);  // PALETTE alone: the defaults again
    EXPECT_EQ(std::pair(page->palette[0], page->palette[15]), std::pair(0xFF000000u, 0xFFFFFFFFu));
    for (auto [fg, bg, mask] : {std::tuple{15, 0, 1}, {31, 0, 1}, {15, 9, 3}}) {
        color_set(fg, bg, 0, mask);
        print_raw("x");
    }
    EXPECT_EQ(std::tuple(cell_attribute(page, 1, 1), cell_attribute(page, 1, 2), cell_attribute(page, 1, 3)),
              std::tuple(0x0F, 0x8F, 0x1F));  // white, blinking bright white, bright white on blue
    color_set(0, 15, 0, 2);
    EXPECT_EQ(std::pair(page->fg_color, page->bg_color), std::pair(15u, 7u));
    for (auto [fg, bg, mask] : {std::tuple{32, 0, 1}, {-1, 0, 1}, {0, 16, 2}, {1, 16, 3}})
        expect_error_5("COLOR", [&] { color_set(fg, bg, 0, mask); });
}

// Escape sequences go out only when standard output is a terminal.
TEST_F(Print, ConsoleImageWritesEscapeSequencesOnlyToATerminal) {
    page = write_page = image_get(image_new(80, 25, 0));
    page->is_console = 1;
    for (int terminal : {1, 0}) {
        console_escapes = terminal;
        ::testing::internal::CaptureStdout();
        color_set(1, 2, 0, 3);
        cls(0, 4, 2);
        move_to(3, 7);
        print_raw("hello", 1);
        print_next_zone();
        print_raw("hello");
        const std::string escapes = terminal ? "\x1b[38;5;1m\x1b[48;5;2m\x1b[48;5;4m\x1b[2J\x1b[1;1H\x1b[3;7H" : "";
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), escapes + "hello\n hello");
        EXPECT_EQ(page->cursor_x, 1);
        EXPECT_EQ(cell_char(page, 1, 1), ' ');  // the page stays blank
    }
}

}  // namespace
