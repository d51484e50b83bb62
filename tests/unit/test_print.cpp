// The text console statements: PRINT, LOCATE, VIEW PRINT, PALETTE, COLOR, CLS.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "runtime/console/console_image.h"
#include "tests/unit/console_screen.h"

namespace {

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

TEST_F(Print, FitCheckTabsAndZones) {
    const std::string w(100, 'w');
    for (auto [column, text, row] : {std::tuple{79, "abc", 2}, {78, "abc", 1}, {1, w.c_str(), 1}}) {
        str_desc d = text_view(text);  // a new line only when the text would not fit, never at column 1
        move_to(1, column);
        print_fit_check(&d);
        EXPECT_EQ(cursor(), cursor_state(row, row == 2 ? 1 : column, 0));
    }
    move_to(3, 79);
    print_raw("ab\t\tab\tc", 1);  // a tab is spaces to the next of 9, 17, 25, ...
    EXPECT_EQ(row_text(page, 3), std::string(78, ' ') + "ab");
    EXPECT_EQ(row_text(page, 4), std::string(16, ' ') + "ab      c");
    move_to(6, 80);
    print_raw("\t");  // column 80 is a stop: one space, then the newline is owed
    EXPECT_EQ(cursor(), cursor_state(6, 80, 1));
    print_next_zone();  // holding: just the owed newline
    EXPECT_EQ(cursor(), cursor_state(7, 1, 0));
    move_to(8, 77);
    print_raw("\tZ");
    EXPECT_EQ(row_text(page, 9), "Z");
    for (int zone : {15, 29, 43, 57, 80}) {
        print_next_zone();
        EXPECT_EQ(cursor(), cursor_state(9, zone, 0));
    }
}

TEST_F(Print, ControlCharactersActOrAreDrawn) {
    print_raw("ab\rcd\ne");
    EXPECT_EQ(row_text(page, 1) + "|" + row_text(page, 2) + "|" + row_text(page, 3), "ab|cd|e");
    struct { int row, column; const char* codes; int to_row, to_column; } moves[] = {
        {3, 2, "\x1e\x1e\x1c\x1c", 1, 4},       // up twice, right twice
        {1, 4, "\x1f\x1d\x1d\x1d\x1d", 1, 80},  // down, left past column 1 to the previous row
        {24, 80, "\x1c\x1f", 24, 80},           // right and down stop at the region's end
        {1, 1, "\x1d\x1e\a", 1, 1},             // left and up stop at its start; the bell is not drawn
        {12, 30, "\x0b", 1, 1},
    };
    for (const auto& m : moves) {
        move_to(m.row, m.column);
        print_raw(m.codes);
        EXPECT_EQ(cursor(), cursor_state(m.to_row, m.to_column, 0)) << m.row << "," << m.column;
    }
    EXPECT_EQ(row_text(page, 1), "ab");
    print_raw("\f");  // CLS
    EXPECT_EQ(row_text(page, 2), "");
    control_chars_enabled = 0;
    print_raw("\r\n\t\a\f\x1c");
    EXPECT_EQ(row_text(page, 1), "\r\n\t\a\f\x1c");
    EXPECT_EQ(cursor(), cursor_state(1, 7, 0));
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

TEST_F(Print, ClsMethodsAndColours) {
    color_set(14, 1, 0, 3);
    for (auto [method, mask, rows_1_24_25] : {std::tuple{0, 0, "   "},  // no method: the region and the last row
                                              {2, 1, "  #"}, {1, 1, "###"}}) {  // 1: the graphics viewport only
        for (int i = 0; i < 2000; ++i) page->cells[2 * i] = '#';
        move_to(12, 1);
        print_raw(std::string(80, '#'));  // CLS also ends the held line
        cls(method, 0, mask);
        EXPECT_EQ(cursor(), cursor_state(1, 1, 0)) << method;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(row_text(page, i ? 23 + i : 1), rows_1_24_25[i] == '#' ? std::string(80, '#') : "") << method;
    }
    EXPECT_EQ(cell_attribute(page, 25, 80), 0x1E);
    view_print(5, 10, 1);
    cls(0, 12, 3);  // the whole page, background 12 & 7, bg_color kept
    EXPECT_EQ(cell_attribute(page, 1, 1), 0x4E);
    EXPECT_EQ(page->bg_color, 1u);
    EXPECT_EQ(page->cursor_y, 5);
    cls(2, 65535, 3);  // the colour is checked against color_mask (65,535)
    EXPECT_EQ(cell_attribute(page, 5, 1), 0x7E);
    for (auto [method, colour, mask] : {std::tuple{0, 65536, 2}, {0, -1, 2}, {3, 0, 1}, {-1, 0, 1}})
        expect_error_5("CLS", [&] { cls(method, colour, mask); });
}

TEST_F(Print, ColourStatementsOnAPixelImage) {
    std::vector<std::uint8_t> pixels(320 * 201, 7);  // a row more than the image: CLS must stay inside
    page = write_page = image_get(image_new_over_memory(pixels.data(), 320, 200, 13));
    palette_set(255, 63 + 32 * 256 + 1 * 65536, 1);
    color_set(255, 200, 0, 3);
    EXPECT_EQ(std::tuple(page->palette[255], page->fg_color, page->bg_color), std::tuple(0xFF8204u, 255u, 200u));
    cls(0, 200, 3);
    EXPECT_EQ(std::tuple(pixels[320 * 200 - 1], pixels[320 * 200]), std::tuple(200, 7));
    view_print(5, 10, 1);
    cls(2, 9, 3);  // the text viewport: pixel rows 32 to 79 in the 8-pixel font
    for (auto [at, colour] : {std::pair{320 * 32 - 1, 200}, {320 * 32, 9}, {320 * 80 - 1, 9}, {320 * 80, 200}})
        EXPECT_EQ(pixels[at], colour) << at;
    expect_error_5("PALETTE 1, blue 64", [] { palette_set(1, 0x400000, 1); });
    expect_error_5("COLOR 256", [] { color_set(256, 0, 0, 1); });
    expect_error_5("CLS , 256", [] { cls(0, 256, 2); });
    expect_error_5("border", [] { color_set(1, 0, 0, 4); });
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
