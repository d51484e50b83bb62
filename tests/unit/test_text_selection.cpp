// Selecting text: the code page 437 table, the cell under the pointer, what
// clicks and drags select, the copied text and the keys that pasted text types.
#include <gtest/gtest.h>

#include "runtime/render/text_selection.h"
#include "runtime/render/window_mapping.h"

namespace {

using keys = std::vector<std::uint8_t>;

keys pasted(const std::string& text, bool latin1 = false, std::size_t piece = 1 << 20) {
    paste_decoder decoder;
    decoder.latin1 = latin1;
    for (std::size_t at = 0; at < text.size(); at += piece)
        paste_decode(decoder, reinterpret_cast<const std::uint8_t*>(text.data()) + at, std::min(piece, text.size() - at));
    return decoder.keys;
}

// A page of text rows, two bytes a cell.
std::vector<std::uint8_t> page(const std::vector<std::string>& rows, int columns) {
    std::vector<std::uint8_t> cells;
    for (const std::string& row : rows)
        for (int x = 0; x < columns; ++x) cells.insert(cells.end(), {static_cast<std::uint8_t>(x < static_cast<int>(row.size()) ? row[x] : ' '), 0x1F});
    return cells;
}

}  // namespace

// Every code copied and pasted back is itself; 0 and 255 copy as blanks; a
// split UTF-8 sequence still decodes. 256 distinct characters.
TEST(TextSelection, EveryCodeGoesRoundTrip) {
    std::vector<std::uint8_t> row;
    for (int c = 0; c < 256; ++c) row.insert(row.end(), {static_cast<std::uint8_t>(c), 7});
    const std::string text = selection_text(row.data(), 256, 0, 255);
    keys expected;
    for (int c = 0; c < 255; ++c) expected.push_back(static_cast<std::uint8_t>(c == 0 ? ' ' : c));   // 255 trails
    EXPECT_EQ(pasted(text, false, 1), expected);
    EXPECT_EQ(std::u32string(cp437_to_unicode, 256).find(U'\u00A0'), 255u);
    for (int c = 1; c < 256; ++c) EXPECT_EQ(unicode_to_cp437(cp437_to_unicode[c]), c) << c;
}

TEST(TextSelection, PastedTextBecomesTheKeysThatTypeIt) {
    EXPECT_EQ(pasted("555.5\r\n1\n2\r3\t4"), (keys{'5', '5', '5', '.', '5', 13, '1', 13, '2', 13, '3', ' ', '4'}));
    EXPECT_EQ(pasted("a\x01\x7f\x1b" "b\xe2\x82\xac\xff\xc3(\xe2\x94\x80\xc3\xa9"), (keys{'a', 'b', '(', 0xC4, 0x82}));
    EXPECT_EQ(pasted("\xe9\x80\xb5", true), (keys{0x82, 0xE6}));   // Latin-1: C1 controls go
    EXPECT_EQ(pasted(std::string(5000, '7')).size(), paste_key_limit);
    EXPECT_TRUE(pasted("\xe2\x82\xac\xe2\x82\xac").empty());
}

TEST(TextSelection, CopiedRowsLoseTheirTrailingBlanks) {
    const std::vector<std::uint8_t> cells = page({"  x= \xE0 ", "", "  y=  .6554428"}, 16);
    EXPECT_EQ(selection_text(cells.data(), 16, 2, 47), "x= \xce\xb1\n\n  y=  .6554428");
    EXPECT_EQ(selection_text(cells.data(), 16, 5, 5), "\xce\xb1");
    EXPECT_EQ(selection_text(cells.data(), 16, 3, 32), "= \xce\xb1\n\n");   // ends on a row's first cell
    EXPECT_EQ(utf8_to_latin1("\xc3\xa9\xce\xb1?"), "\xe9??");
}

// Drag in reading order either way; double click a word, triple click the
// row, a fourth starts over; a click alone or beside the text selects nothing.
TEST(TextSelection, ClicksAndDragsSelectRunsOfCells) {
    const std::vector<std::uint8_t> cells = page({"   x=  .3409378  5.291961E-03"}, 32);
    text_selection s;
    EXPECT_FALSE(selection_press(s, cells.data(), 32, 1, 20, 1000));
    EXPECT_FALSE(selection_release(s));
    selection_drag(s, 5);
    EXPECT_EQ(selection_highlight_word(s), 0u);
    EXPECT_FALSE(selection_press(s, cells.data(), 32, 1, 10, 5000));
    selection_drag(s, 4);
    EXPECT_TRUE(selection_release(s));
    EXPECT_EQ(selection_highlight_word(s), highlight_of(4, 10));
    const struct { int cell, clicks, first, last; } words[] = {
        {9, 2, 7, 14}, {20, 2, 17, 28}, {3, 2, 3, 4}, {15, 2, 15, 16}, {15, 3, 0, 31}, {0, 2, 0, 2}};
    for (const auto& w : words) {
        for (int i = 0; i < w.clicks; ++i)
            EXPECT_EQ(selection_press(s, cells.data(), 32, 1, w.cell, 9000 + i * 300), i > 0) << w.cell;
        EXPECT_EQ(std::make_pair(s.first, s.last), std::make_pair(w.first, w.last)) << w.cell;
        EXPECT_FALSE(selection_release(s));
        s.press_time = 0;
    }
    for (int i = 0; i < 4; ++i) selection_press(s, cells.data(), 32, 1, 9, 20000 + i * 100);
    EXPECT_TRUE(s.dragging);
    EXPECT_FALSE(selection_press(s, cells.data(), 32, 1, -1, 30000));
    EXPECT_FALSE(s.dragging);
}

// The pointer through the window mapping: 1:1, at zoom 2, letterboxed.
TEST(TextSelection, TheCellUnderThePointerFollowsTheMapping) {
    const window_mapping plain = compute_window_mapping(640, 400, 640, 400, 0, 0, 0, 1);
    const window_mapping doubled = compute_window_mapping(640, 400, 1280, 800, 0, 0, 0, 2);
    const window_mapping boxed = compute_window_mapping(640, 400, 1920, 1080, 2, 0, 0, 1);   // 96 px bars
    const struct { const window_mapping* mapping; int x, y; bool clamp; int cell; } points[] = {
        {&plain, 0, 0, false, 0},       {&plain, 639, 399, false, 1999}, {&plain, 15, 16, false, 81},
        {&doubled, 31, 63, false, 81},  {&boxed, 95, 500, false, -1},    {&boxed, 95, 500, true, 880},
        {&boxed, 96 + 27, 0, false, 1}, {&plain, 700, -5, true, 79},     {&plain, 640, 10, false, -1}};
    for (const auto& p : points)
        EXPECT_EQ(cell_at_window_point(*p.mapping, 8, 16, 80, 25, p.x, p.y, p.clamp), p.cell) << p.x << "," << p.y;
}
