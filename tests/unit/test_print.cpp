#include <gtest/gtest.h>

#include <string>

#include "tests/unit/console_screen.h"

namespace {

class Print : public ::testing::Test {
protected:
    void SetUp() override {
        fresh_text_screen();
        control_chars_enabled = 1;
        page = write_page;
    }
    void expect_cursor(int row, int column, int holding = 0) {
        EXPECT_EQ(page->cursor_y, row);
        EXPECT_EQ(page->cursor_x, column);
        EXPECT_EQ(page->holding_cursor, holding);
    }
    screen_image* page = nullptr;
};

}  // namespace

TEST_F(Print, AFullLineHoldsItsNewlineUntilTheNextPrint) {
    const std::string line(80, '=');
    const struct { std::string text; int newline, row, column, holding; } steps[] = {
        {line, 0, 1, 80, 1}, {"", 0, 1, 80, 1},  // an empty print without newline changes nothing
        {"", 1, 2, 1, 0},                         // the owed newline, once
        {line, 1, 3, 1, 0},  {line, 0, 3, 80, 1},
        {"X", 0, 4, 2, 0},                        // a non-empty print pays the owed newline first
        {"", 1, 5, 1, 0},    {line + "Y", 0, 6, 2, 0},  // past the edge mid-text: wrap at once
    };
    for (const auto& s : steps) {
        print_raw(s.text, s.newline);
        expect_cursor(s.row, s.column, s.holding);
    }
    EXPECT_EQ(row_text(page, 4), "X");
    EXPECT_EQ(row_text(page, 5) + row_text(page, 6), line + "Y");
    move_to(7, 1);
    print_raw(line);
    locate(0, 0, 1, 0, 0, 4);  // LOCATE without position while holding
    EXPECT_EQ(page->holding_cursor, 2);
    locate(0, 10, 0, 0, 0, 2);
    expect_cursor(7, 10);
}

TEST_F(Print, FitCheckStartsANewLineOnlyWhenTheTextWouldNotFit) {
    const std::string w(100, 'w');
    str_desc abc = text_view("abc"), wide = text_view(w.c_str());
    move_to(1, 79);
    print_fit_check(&abc);
    print_string(&abc, 0);
    EXPECT_EQ(row_text(page, 1) + "|" + row_text(page, 2), "|abc");
    move_to(3, 79);
    print_string(&abc, 0);  // without the check the text wraps
    EXPECT_EQ(row_text(page, 3) + "|" + row_text(page, 4), std::string(78, ' ') + "ab|c");
    move_to(5, 78);
    print_fit_check(&abc);  // exactly fits
    expect_cursor(5, 78);
    move_to(5, 1);
    print_fit_check(&wide);  // column 1: never
    expect_cursor(5, 1);
}

TEST_F(Print, TabsAndZones) {
    print_raw("\t\tab\tc");
    EXPECT_EQ(row_text(page, 1), std::string(16, ' ') + "ab      c");
    move_to(2, 80);
    print_raw("\t");  // column 80 is a stop: one space, then the newline is owed
    expect_cursor(2, 80, 1);
    move_to(3, 77);
    print_raw("\tZ");
    EXPECT_EQ(row_text(page, 4), "Z");

    move_to(5, 1);
    print_raw("a");
    for (int zone : {15, 29, 43, 57, 80}) {
        print_next_zone();
        EXPECT_EQ(page->cursor_x, zone);
    }
    EXPECT_EQ(page->cursor_y, 5);
    move_to(6, 1);
    print_raw(std::string(80, '-'));
    print_next_zone();  // holding: just the owed newline
    expect_cursor(7, 1);
}

TEST_F(Print, ControlCharactersActOrAreDrawn) {
    print_raw("ab\rcd\ne");
    EXPECT_EQ(row_text(page, 1) + "|" + row_text(page, 2) + "|" + row_text(page, 3), "ab|cd|e");
    struct { int row, column; const char* codes; int to_row, to_column; } moves[] = {
        {3, 2, "\x1e\x1e\x1c\x1c", 1, 4},          // up twice, right twice
        {1, 4, "\x1f\x1d\x1d\x1d\x1d", 1, 80},     // down, left past column 1 to the previous row
        {24, 80, "\x1c\x1f", 24, 80},              // right and down stop at the region's end
        {1, 1, "\x1d\x1e", 1, 1},                  // left and up stop at its start
        {12, 30, "\x0b", 1, 1},
    };
    for (const auto& m : moves) {
        move_to(m.row, m.column);
        print_raw(m.codes);
        expect_cursor(m.to_row, m.to_column);
    }

    print_raw("\a");  // the bell is heard, not drawn
    expect_cursor(1, 1);
    EXPECT_EQ(row_text(page, 1), "ab");
    print_raw("\f");  // CLS
    EXPECT_EQ(row_text(page, 2), "");

    control_chars_enabled = 0;
    print_raw("\r\n\t\a\f\x1c");
    EXPECT_EQ(row_text(page, 1), "\r\n\t\a\f\x1c");
    expect_cursor(1, 7);
}

TEST_F(Print, NewlineScrollsOnlyTheRegion) {
    color_set(14, 1, 0, 3);
    for (int r = 1; r <= 25; ++r) {
        move_to(r, 1);
        print_raw(std::string(1, static_cast<char>('A' + r - 1)));
    }
    view_print(5, 10, 1);
    move_to(10, 3);
    print_newline();
    expect_cursor(10, 1);
    for (int r = 1; r <= 25; ++r)
        EXPECT_EQ(cell_char(page, r, 1), r < 5 || r > 10 ? 'A' + r - 1 : r < 10 ? 'A' + r : ' ') << r;
    EXPECT_EQ(cell_attribute(page, 10, 80), 0x1E);

    // A newline on the last row, outside the region, scrolls the region.
    view_print(0, 0, 0);
    move_to(25, 1);
    print_raw("last", 1);
    expect_cursor(24, 1);
    EXPECT_EQ(row_text(page, 25), "last");
    EXPECT_EQ(cell_char(page, 23, 1), 'X');
}

TEST_F(Print, NothingWhileAnErrorIsPending) {
    const std::string w(90, 'w');
    str_desc wide = text_view(w.c_str());
    move_to(1, 5);
    pending_error = 5;
    print_raw("x", 1);
    print_fit_check(&wide);
    print_next_zone();
    pending_error = 0;
    expect_cursor(1, 5);
    EXPECT_EQ(row_text(page, 1), "");
}
