#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "runtime/display/palettes.h"
#include "tests/unit/calculator_output.h"
#include "tests/unit/console_screen.h"

namespace {

void print_raw(const std::string& text, int newline) {
    str_desc d{};
    d.text = reinterpret_cast<std::uint8_t*>(const_cast<char*>(text.data()));
    d.len = static_cast<std::int32_t>(text.size());
    print_string(&d, newline);
}

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

TEST_F(Print, TheCalculatorsScreenForMinus500) {
    print_calculator_heading_and_prompt();
    EXPECT_EQ(row_text(page, 1), "          ***** Berechnung der Spektralwertanteile x,y *****");
    EXPECT_EQ(row_text(page, 13), " Eingabe der Wellenlaenge [nm]: ? -500");
    expect_cursor(14, 1);

    print_calculator_results_for_minus_500();
    const char* rows[25] = {
        " direkt eingegeben werden. Fuer die Purpurfarben ist die Wellenlaenge mit",
        " einem Minus einzugeben. Es wird dann die Schnittstelle auf der Purpur-",
        " geraden bestimmt.",
        " Die Purpurgeradeenden liegen bei den Gegenfarben von etwa 493.8 bis 569.6",
        " Wenn diese Grenzen nicht eingehalten werden, faellt der Schnittpunkt mit",
        " der Purpurgeraden ausserhalb des Spektralfarbenzuges.",
        " Die Berechnungsgrenzen sind 360 nm bis 700 nm.",
        "",
        "",
        " Eingabe der Wellenlaenge [nm]: ? -500",
        "",
        "",
        "         fuer Purpurpunkt:",
        "",
        "         x=  .5657461",
        "         y=  .1867449",
        "",
        "",
        "         fuer  500 nm :",
        "",
        "         x=  .008168",
        "         y=  .538423",
        "",
        "",
        "",
    };
    for (int r = 1; r <= 25; ++r) EXPECT_EQ(row_text(page, r), rows[r - 1]) << "row " << r;
    expect_cursor(24, 1);

    // Printed cells are bright white on colour 0, which PALETTE 0, 1 shows blue;
    // the three rows scrolled in are filled with the same attribute; row 25 is untouched.
    EXPECT_EQ(page->palette[0], ega_palette_64[1]);
    EXPECT_EQ(page->fg_color, 15u);
    for (int c = 1; c <= 38; ++c) EXPECT_EQ(cell_attribute(page, 10, c), 0x0F) << c;
    EXPECT_EQ(cell_attribute(page, 10, 39), 0x07);
    for (int r = 22; r <= 24; ++r)
        for (int c = 1; c <= 80; ++c) EXPECT_EQ(cell_attribute(page, r, c), 0x0F) << r << "," << c;
    for (int c = 1; c <= 80; ++c) {
        EXPECT_EQ(cell_char(page, 25, c), ' ');
        EXPECT_EQ(cell_attribute(page, 25, c), 0x07);
    }
}

TEST_F(Print, AFullLineHoldsItsNewlineUntilTheNextPrint) {
    const std::string line(80, '=');
    print_raw(line, 0);
    expect_cursor(1, 80, 1);
    print_raw("", 0);  // an empty print without newline changes nothing
    expect_cursor(1, 80, 1);
    print_raw("", 1);  // the owed newline, once
    expect_cursor(2, 1);

    print_raw(line, 1);  // a line that fills the width ends with one newline
    expect_cursor(3, 1);

    print_raw(line, 0);
    print_raw("X", 0);  // a non-empty print pays the owed newline first
    EXPECT_EQ(cell_char(page, 4, 1), 'X');
    expect_cursor(4, 2);

    print_raw("", 1);
    print_raw(line + "Y", 0);  // past the edge mid-text: wrap at once
    EXPECT_EQ(cell_char(page, 5, 80), '=');
    EXPECT_EQ(cell_char(page, 6, 1), 'Y');
    expect_cursor(6, 2);

    locate(7, 1, 0, 0, 0, 3);
    print_raw(line, 0);
    locate(0, 0, 1, 0, 0, 4);  // LOCATE without position while holding
    EXPECT_EQ(page->holding_cursor, 2);
    locate(0, 10, 0, 0, 0, 2);
    expect_cursor(7, 10);
}

TEST_F(Print, FitCheckStartsANewLineOnlyWhenTheTextWouldNotFit) {
    locate(1, 79, 0, 0, 0, 3);
    str_desc abc = text_view("abc");
    print_fit_check(&abc);
    print_string(&abc, 0);
    EXPECT_EQ(row_text(page, 1), "");
    EXPECT_EQ(row_text(page, 2), "abc");

    locate(3, 79, 0, 0, 0, 3);
    print_string(&abc, 0);  // without the check the text wraps
    EXPECT_EQ(row_text(page, 3), std::string(78, ' ') + "ab");
    EXPECT_EQ(row_text(page, 4), "c");

    locate(5, 78, 0, 0, 0, 3);
    print_fit_check(&abc);  // exactly fits
    expect_cursor(5, 78);
    str_desc wide = text_view(std::string(100, 'w').c_str());
    locate(5, 1, 0, 0, 0, 3);
    print_fit_check(&wide);  // column 1: never
    expect_cursor(5, 1);
}

TEST_F(Print, TabsAndZones) {
    print_raw("\t", 0);
    expect_cursor(1, 9);
    print_raw("\t", 0);
    expect_cursor(1, 17);
    print_raw("ab\tc", 0);
    EXPECT_EQ(cell_char(page, 1, 25), 'c');
    locate(2, 80, 0, 0, 0, 3);
    print_raw("\t", 0);  // column 80 is a stop: one space, then the newline is owed
    expect_cursor(2, 80, 1);
    locate(3, 77, 0, 0, 0, 3);
    print_raw("\tZ", 0);
    EXPECT_EQ(row_text(page, 4), "Z");

    locate(5, 1, 0, 0, 0, 3);
    print_raw("a", 0);
    for (int zone : {15, 29, 43, 57, 80}) {
        print_next_zone();
        EXPECT_EQ(page->cursor_x, zone);
    }
    EXPECT_EQ(page->cursor_y, 5);
    locate(6, 1, 0, 0, 0, 3);
    print_raw(std::string(80, '-'), 0);
    print_next_zone();  // holding: just the owed newline
    expect_cursor(7, 1);
}

TEST_F(Print, ControlCharactersActOrAreDrawn) {
    print_raw("ab\rcd\ne", 0);
    EXPECT_EQ(row_text(page, 1), "ab");
    EXPECT_EQ(row_text(page, 2), "cd");
    EXPECT_EQ(row_text(page, 3), "e");
    print_raw("\x1e\x1e\x1c\x1c", 0);  // up twice, right twice
    expect_cursor(1, 4);
    print_raw("\x1f\x1d\x1d\x1d\x1d", 0);  // down, left past column 1 to the previous row
    expect_cursor(1, 80);
    locate(24, 80, 0, 0, 0, 3);
    print_raw("\x1c\x1f", 0);  // right and down stop at the region's end
    expect_cursor(24, 80);
    locate(1, 1, 0, 0, 0, 3);
    print_raw("\x1d\x1e", 0);  // left and up stop at its start
    expect_cursor(1, 1);
    locate(12, 30, 0, 0, 0, 3);
    print_raw("\x0b", 0);
    expect_cursor(1, 1);

    const auto start = std::chrono::steady_clock::now();
    print_raw("\a", 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(240));
    expect_cursor(1, 1);
    EXPECT_EQ(row_text(page, 1), "ab");

    print_raw("\f", 0);  // CLS
    EXPECT_EQ(row_text(page, 2), "");
    expect_cursor(1, 1);

    control_chars_enabled = 0;
    print_raw(std::string("\r\n\t\a\f\x1c", 6), 0);
    for (int c = 1; c <= 6; ++c) EXPECT_EQ(cell_char(page, 1, c), "\r\n\t\a\f\x1c"[c - 1]);
    expect_cursor(1, 7);
}

TEST_F(Print, NewlineScrollsOnlyTheRegion) {
    color_set(14, 1, 0, 3);
    for (int r = 1; r <= 25; ++r) {
        locate(r, 1, 0, 0, 0, 3);
        print_raw(std::string(1, static_cast<char>('A' + r - 1)), 0);
    }
    view_print(5, 10, 1);
    locate(10, 3, 0, 0, 0, 3);
    print_newline();
    expect_cursor(10, 1);
    for (int r = 1; r <= 25; ++r) {
        const char expected = r < 5 || r > 10 ? 'A' + r - 1 : r < 10 ? 'A' + r : ' ';
        EXPECT_EQ(cell_char(page, r, 1), expected) << r;
    }
    EXPECT_EQ(cell_attribute(page, 10, 80), 0x1E);

    // The last row lies outside the region: its newline scrolls the region
    // and leaves the cursor on the region's last row.
    view_print(0, 0, 0);
    locate(25, 1, 0, 0, 0, 3);
    print_raw("last", 1);
    expect_cursor(24, 1);
    EXPECT_EQ(row_text(page, 25), "last");
    EXPECT_EQ(cell_char(page, 23, 1), 'X');
}

TEST_F(Print, NothingWhileAnErrorIsPending) {
    pending_error = 5;
    print_raw("x", 1);
    str_desc wide = text_view(std::string(90, 'w').c_str());
    locate(1, 5, 0, 0, 0, 3);
    print_fit_check(&wide);
    print_next_zone();
    pending_error = 0;
    expect_cursor(1, 1);
    EXPECT_EQ(row_text(page, 1), "");
}
