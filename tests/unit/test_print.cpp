// The text screen: the built-in palettes, SCREEN's text geometry and pages in
// video memory; PRINT, PALETTE, COLOR. (The calculator uses no graphics mode, no
// second page, no LOCATE, VIEW PRINT or CLS, no tabs, zones or control characters.)
#include <gtest/gtest.h>

#include <array>

#include "runtime/core/emulated_memory.h"
#include "runtime/screen/console_image.h"
#include "tests/unit/console_screen.h"

namespace {

std::uint8_t* video() { return emulated_address(video_memory_address); }

TEST(Screen, BuiltInPalettesAndTheInitialPaletteByMode) {
    palettes_install();
    for (auto [index, colour] : {std::pair{6, 0xAA5500u}, {7, 0xAAAAAAu}, {19, 0x2D2D2Du}, {32, 0x0000FFu},
                                 {56, 0x7D7DFFu}, {247, 0x2D3141u}, {248, 0u}})
        EXPECT_EQ(default_palette_256[index], 0xFF000000u | colour) << index;
    for (auto [index, colour] : {std::pair{20, 0xFFAA5500u}, {56, 0xFF555555u}, {63, 0xFFFFFFFFu}})
        EXPECT_EQ(ega_palette_64[index], colour) << index;
    const struct { int mode, index; std::uint32_t colour; } initial[] = {
        {0, 15, 0xFFFFFFFFu}, {0, 16, 0u},
        {1, 1, 0xFF00AAAAu},  {1, 3, 0xFFAAAAAAu},  // black and the second CGA palette
        {9, 6, 0xFFAA5500u},  {10, 7, 8u},   {2, 1, 0x00FFFFFFu},
    };
    std::uint32_t palette[256];
    for (const auto& e : initial) {
        palette_initial(e.mode, palette);
        EXPECT_EQ(palette[e.index], e.colour) << e.mode << "," << e.index;
    }
}

TEST(Screen, TextGeometryRequests) {
    fresh_text_screen();
    const struct { int columns, rows, font, width, height, got_font, page_bytes; } requests[] = {
        {0, 50, 0, 80, 50, 8, 8000},      // rows only: 80 columns, font 8
        {40, 0, 0, 40, 50, 9, 4000},      // columns only after 50 rows
        {80, 25, 8, 80, 25, 16, 4096},    // 80 x 25: font 16 whatever is asked
        {80, 43, 0, 80, 43, 14, 6880},    // 43 rows: font 14
        {40, 0, 0, 40, 43, 15, 3440},     // columns only keep 43 rows
    };
    for (const auto& r : requests) {
        if (r.columns) next_text_columns = r.columns;
        if (r.rows) next_text_rows = r.rows;
        if (r.font) next_text_font = r.font;
        screen_set_mode(0, 0, 0, 0, 0, 1);
        SCOPED_TRACE(testing::Message() << r.columns << "," << r.rows << "," << r.font);
        EXPECT_EQ(std::tuple(write_page->width, write_page->height, write_page->font),
                  std::tuple(r.width, r.height, static_cast<std::uint32_t>(r.got_font)));
        for (int p = 0; p < 8; ++p) EXPECT_EQ(image_get(page_slot(p))->cells, video() + p * r.page_bytes) << p;
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
    screen_image* page = nullptr;
};

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

// A newline on the last row of the text region (rows 1 to 24) scrolls the
// region alone and clears its new row in the current colours; so does one
// on row 25, below the region.
TEST_F(Print, ANewlineOnTheLastRowScrollsTheRegion) {
    color_set(14, 1, 0, 3);
    for (int r = 1; r <= 25; ++r) {
        move_to(r, 1);
        print_raw(std::string(1, static_cast<char>('A' + r - 1)));
    }
    move_to(24, 3);
    print_newline();
    EXPECT_EQ(cursor(), cursor_state(24, 1, 0));
    for (int r = 1; r <= 25; ++r) EXPECT_EQ(cell_char(page, r, 1), r < 24 ? 'A' + r : r == 24 ? ' ' : 'Y') << r;
    EXPECT_EQ(cell_attribute(page, 24, 80), 0x1E);
    move_to(25, 1);
    print_raw("last", 1);
    EXPECT_EQ(cursor(), cursor_state(24, 1, 0));
    EXPECT_EQ(row_text(page, 25) + row_text(page, 22), "lastX");
}

// With the control characters on, 28 to 31 move the cursor within the text
// region (28 and 29 wrap between rows), 11 goes home and 13 starts a new
// line; each stops at the region's edges, and nothing moves on row 25 below it.
TEST_F(Print, ControlCharactersMoveTheCursorWithinTheRegion) {
    const struct { int row, column, code, to_row, to_column; } moves[] = {
        {3, 1, 29, 2, 80}, {3, 5, 29, 3, 4}, {1, 1, 29, 1, 1},   {25, 1, 29, 25, 1},
        {2, 80, 28, 3, 1}, {24, 80, 28, 24, 80}, {24, 7, 30, 23, 7}, {1, 7, 30, 1, 7},
        {25, 7, 30, 25, 7}, {1, 7, 31, 2, 7}, {24, 7, 31, 24, 7}, {9, 9, 11, 1, 1}, {9, 9, 13, 10, 1}};
    for (const auto& m : moves) {
        move_to(m.row, m.column);
        print_raw(std::string(1, static_cast<char>(m.code)));
        EXPECT_EQ(cursor(), cursor_state(m.to_row, m.to_column, 0)) << m.code << " at " << m.row << ", " << m.column;
    }
}

// LOCATE checks every argument before it changes anything; once after
// start-up a row below the screen switches it to 80 x 50.
TEST_F(Print, LocateChecksItsArgumentsFirst) {
    locate(3, 7, 1, 31, 0, 31);
    EXPECT_EQ(std::tuple(cursor(), page->cursor_visible, page->cursor_start, page->cursor_stop),
              std::tuple(cursor_state(3, 7, 0), 1, 31, 0));
    for (auto [row, column, visible, start, stop, presence] :
         {std::array{0, 1, 0, 0, 0, 3}, {1, 81, 0, 0, 0, 3}, {1, 1, 2, 0, 0, 7}, {1, 1, 0, 32, 0, 11}, {1, 1, 0, -1, 0, 11},
          {1, 1, 0, 0, 32, 19}, {1, 1, 0, 0, -1, 19}})
        expect_error_5("LOCATE", [&] { locate(row, column, visible, start, stop, presence); });
    locate(40, 9, 0, 0, 0, 3);
    EXPECT_EQ(std::tuple(write_page->height, write_page->cursor_y, write_page->cursor_x), std::tuple(50, 40, 9));
    expect_error_5("LOCATE 51", [] { locate(51, 1, 0, 0, 0, 1); });
}

TEST_F(Print, NothingWhileAnErrorIsPending) {
    const std::string w(90, 'w');
    str_desc wide = text_view(w.c_str());
    move_to(1, 5);
    const std::vector<std::int64_t> before = page_state(page);
    pending_error = 7;
    print_raw("x", 1);
    print_fit_check(&wide);
    color_set(1, 2, 0, 3);
    palette_set(0, 1, 1);
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
        print_raw("hello", 1);
        print_raw("hello");
        const std::string escapes = terminal ? "\x1b[38;5;1m\x1b[48;5;2m" : "";
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), escapes + "hello\nhello");
        EXPECT_EQ(page->cursor_x, 1);
        EXPECT_EQ(cell_char(page, 1, 1), ' ');  // the page stays blank
    }
}

}  // namespace
