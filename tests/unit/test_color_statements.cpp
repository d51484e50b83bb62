#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/console/console_image.h"
#include "tests/unit/console_screen.h"

namespace {

// Everything PALETTE, COLOR and CLS may change on a page.
struct page_state {
    std::vector<std::uint8_t> cells;
    std::vector<std::uint32_t> palette;
    std::uint32_t fg, bg;
    int x, y;
    bool operator==(const page_state&) const = default;
};

page_state snapshot(const screen_image* p) {
    page_state s{{p->cells, p->cells + p->width * p->height * p->bytes_per_cell}, {}, p->fg_color, p->bg_color,
                 p->cursor_x, p->cursor_y};
    if (p->palette) s.palette.assign(p->palette, p->palette + 256);
    return s;
}

// Each statement must fail with error 5 and leave the page as it was.
void expect_rejected(std::initializer_list<std::pair<const char*, std::function<void()>>> statements) {
    for (const auto& [what, statement] : statements) {
        const page_state before = snapshot(write_page);
        pending_error = 0;
        statement();
        EXPECT_EQ(pending_error.load(), 5) << what;
        EXPECT_TRUE(snapshot(write_page) == before) << what;
        pending_error = 0;
    }
}

// Makes a fresh image of the mode the write page (and leaves the screen pages alone).
screen_image* write_to_new_image(int width, int height, int mode) {
    return write_page = image_get(image_new(width, height, mode));
}

class ColourStatements : public ::testing::Test {
protected:
    void SetUp() override { fresh_text_screen(); }
};

}  // namespace

TEST_F(ColourStatements, PaletteInTextMode) {
    screen_image* page = write_page;
    palette_set(15, 63, 1);
    EXPECT_EQ(page->palette[15], ega_palette_64[63]);
    palette_set(256, 1, 1);  // the attribute's low byte: PALETTE 0, 1
    EXPECT_EQ(page->palette[0], 0xFF0000AAu);
    expect_rejected({{"PALETTE 16, 1", [] { palette_set(16, 1, 1); }}, {"PALETTE -1, 1", [] { palette_set(-1, 1, 1); }},
                    {"PALETTE 0, 64", [] { palette_set(0, 64, 1); }},
                    {"PALETTE 0, -1", [] { palette_set(0, -1, 1); }}});
    palette_set(99, 99, 0);  // PALETTE alone: the defaults again
    EXPECT_EQ(page->palette[0], 0xFF000000u);
    EXPECT_EQ(page->palette[15], 0xFFFFFFFFu);
}

TEST_F(ColourStatements, ColorInTextMode) {
    screen_image* page = write_page;
    for (auto [fg, bg, mask] : {std::tuple{15, 0, 1}, {31, 0, 1}, {15, 9, 3}}) {
        color_set(fg, bg, 0, mask);
        print_raw("x");
    }
    EXPECT_EQ(cell_attribute(page, 1, 1), 0x0F);
    EXPECT_EQ(cell_attribute(page, 1, 2), 0x8F);  // blinking bright white
    EXPECT_EQ(cell_attribute(page, 1, 3), 0x1F);
    color_set(0, 15, 0, 2);
    EXPECT_EQ(page->bg_color, 7u);
    EXPECT_EQ(page->fg_color, 15u);
    expect_rejected({{"COLOR 32", [] { color_set(32, 0, 0, 1); }}, {"COLOR -1", [] { color_set(-1, 0, 0, 1); }},
                    {"COLOR , 16", [] { color_set(0, 16, 0, 2); }}, {"COLOR 1, 16", [] { color_set(1, 16, 0, 3); }}});
    const page_state before = snapshot(page);
    color_set(0, 0, 3, 4);  // the border alone is accepted and changes nothing
    color_set(0, 0, 0, 0);
    EXPECT_EQ(pending_error.load(), 0);
    EXPECT_TRUE(snapshot(page) == before);
}

TEST_F(ColourStatements, ClsMethodsAndColours) {
    screen_image* page = write_page;
    color_set(14, 1, 0, 3);
    const std::string full(80, '#');
    const int rows[] = {1, 24, 25};
    const struct { int method, mask; const char* rows_1_24_25; } calls[] = {
        {0, 0, "   "},  // no method: the region and the last row
        {2, 1, "  #"},
        {1, 1, "###"},  // the graphics viewport only: the text stays
    };
    for (const auto& c : calls) {
        for (int i = 0; i < 2000; ++i) page->cells[2 * i] = '#';
        move_to(12, 40);
        cls(c.method, 0, c.mask);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(row_text(page, rows[i]), c.rows_1_24_25[i] == '#' ? full : "") << c.method << i;
        EXPECT_EQ(cursor_at(page), std::pair(1, 1)) << c.method;  // the cursor goes home
    }
    EXPECT_EQ(cell_attribute(page, 25, 80), 0x1E);

    view_print(5, 10, 1);
    cls(0, 12, 3);  // the whole page, background 12 & 7, bg_color kept
    EXPECT_EQ(row_text(page, 1), "");
    EXPECT_EQ(cell_attribute(page, 1, 1), 0x4E);
    EXPECT_EQ(page->bg_color, 1u);
    EXPECT_EQ(page->cursor_y, 5);
    cls(2, 65535, 3);  // the colour is checked against color_mask (65,535)
    EXPECT_EQ(cell_attribute(page, 5, 1), 0x7E);
    EXPECT_EQ(pending_error.load(), 0);
    expect_rejected({{"CLS , 65536", [] { cls(0, 65536, 2); }}, {"CLS , -1", [] { cls(0, -1, 2); }},
                    {"CLS 3", [] { cls(3, 0, 1); }}, {"CLS -1", [] { cls(-1, 0, 1); }}});
}

TEST_F(ColourStatements, ClsEndsAHeldLine) {
    print_raw(std::string(80, 'x'));
    ASSERT_EQ(write_page->holding_cursor, 1);
    cls(0, 0, 0);
    print_raw("top");
    EXPECT_EQ(row_text(write_page, 1), "top");
}

TEST_F(ColourStatements, GraphicsModeLimitsAndEffects) {
    screen_image* page = write_to_new_image(320, 200, 1);
    color_set(9, 3, 0, 3);  // mode 1: background colour 9, second CGA palette
    EXPECT_EQ(page->palette[0], default_palette_256[9]);
    EXPECT_EQ(page->palette[1], cga_palettes[1][0]);
    color_set(0, 4, 0, 2);
    EXPECT_EQ(page->palette[3], cga_palettes[0][2]);
    expect_rejected({{"mode 1 COLOR 16", [] { color_set(16, 0, 0, 1); }},
                    {"mode 1 border", [] { color_set(1, 0, 0, 4); }},
                    {"mode 1 PALETTE 0, 16", [] { palette_set(0, 16, 1); }}});

    page = write_to_new_image(640, 350, 10);
    color_set(3, 8, 0, 3);
    palette_set(3, 7, 1);
    EXPECT_EQ(page->palette[4], 8u);
    EXPECT_EQ(page->palette[7], 7u);
    expect_rejected({{"mode 10 PALETTE 4, 0", [] { palette_set(4, 0, 1); }},
                    {"mode 10 PALETTE 0, 9", [] { palette_set(0, 9, 1); }}});

    std::vector<std::uint8_t> pixels(320 * 201, 7);  // a row more than the image: CLS must stay inside
    page = write_page = image_get(image_new_over_memory(pixels.data(), 320, 200, 13));
    palette_set(255, 63 + 32 * 256 + 1 * 65536, 1);
    EXPECT_EQ(page->palette[255], 0xFF8204u);
    cls(0, 200, 3);
    EXPECT_EQ(pixels[320 * 200 - 1], 200);
    EXPECT_EQ(pixels[320 * 200], 7);
    view_print(5, 10, 1);
    cls(2, 9, 3);  // the text viewport: pixel rows 32 to 79 in the 8-pixel font
    for (auto [at, colour] : {std::pair{320 * 32 - 1, 200}, {320 * 32, 9}, {320 * 80 - 1, 9}, {320 * 80, 200}})
        EXPECT_EQ(pixels[at], colour) << at;
    expect_rejected({{"mode 13 PALETTE 1, 64", [] { palette_set(1, 64, 1); }},
                    {"mode 13 PALETTE 1, blue 64", [] { palette_set(1, 0x400000, 1); }},
                    {"mode 13 COLOR 256", [] { color_set(256, 0, 0, 1); }},
                    {"mode 13 CLS , 256", [] { cls(0, 256, 2); }}});

    page = write_to_new_image(16, 16, 32);
    color_set(0x12345678, 0x11223344, 0, 3);
    EXPECT_EQ(page->fg_color, 0x12345678u);
    cls(0, 0x11223344, 3);  // any colour on a 32-bit image
    EXPECT_EQ(reinterpret_cast<std::uint32_t*>(page->cells)[255], 0x11223344u);
    expect_rejected({{"32-bit PALETTE", [] { palette_set(0, 1, 1); }},
                    {"32-bit border", [] { color_set(0, 0, 0, 4); }}});
}

// Escape sequences go out only when standard output is a terminal.
TEST_F(ColourStatements, ConsoleImageWritesEscapeSequencesOnlyToATerminal) {
    screen_image* page = write_to_new_image(80, 25, 0);
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
        EXPECT_EQ(cell_char(page, 1, 1), ' ');
    }
}
