#include <gtest/gtest.h>

#include <vector>

#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"

namespace {

class BuiltInTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() { fonts_install(), palettes_install(); }
};

// Glyph c's rows (from row `first`) read back from a working table as bytes, leftmost pixel high.
std::vector<int> glyph_rows(int c, int height, int first = 0) {
    const std::uint8_t* glyph = (height == 8 ? font_8x8 + c * 64 : font_8x16 + c * 128) + 8 * first;
    std::vector<int> packed(height, 0);
    for (int r = 0; r < height; ++r)
        for (int x = 0; x < 8; ++x) {
            EXPECT_TRUE(glyph[8 * r + x] == 0x00 || glyph[8 * r + x] == 0xFF);
            packed[r] = packed[r] << 1 | (glyph[8 * r + x] != 0);
        }
    return packed;
}

}  // namespace

TEST_F(BuiltInTables, GlyphRowsMatchTheDataChecks) {
    using rows = std::vector<int>;
    const struct { int c, height; rows expected; } glyphs[] = {
        {0x41, 8, {0x30, 0x78, 0xcc, 0xcc, 0xfc, 0xcc, 0xcc, 0x00}},
        {0x30, 8, {0x7c, 0xc6, 0xce, 0xde, 0xf6, 0xe6, 0x7c, 0x00}},
        {0x61, 8, {0x00, 0x00, 0x78, 0x0c, 0x7c, 0xcc, 0x76, 0x00}},
        {0x41, 16, {0, 0, 0x10, 0x38, 0x6c, 0xc6, 0xc6, 0xfe, 0xc6, 0xc6, 0xc6, 0xc6, 0, 0, 0, 0}},
        {0x30, 16, {0, 0, 0x38, 0x6c, 0xc6, 0xc6, 0xd6, 0xd6, 0xc6, 0xc6, 0x6c, 0x38, 0, 0, 0, 0}},
        {0x61, 16, {0, 0, 0, 0, 0, 0x78, 0x0c, 0x7c, 0xcc, 0xcc, 0xcc, 0x76, 0, 0, 0, 0}},
        {0xDB, 8, rows(8, 0xff)}, {0xDB, 16, rows(16, 0xff)},
        {0x00, 8, rows(8, 0)},    {0x00, 16, rows(16, 0)},
        {0x20, 8, rows(8, 0)},    {0x20, 16, rows(16, 0)},
    };
    for (const auto& g : glyphs) EXPECT_EQ(glyph_rows(g.c, g.height), g.expected) << g.c << " 8x" << g.height;
    // The 14-row form: rows 1 to 14 of the 16-row glyph.
    EXPECT_EQ(glyph_rows(0x41, 14, 1), (rows{0, 0x10, 0x38, 0x6c, 0xc6, 0xc6, 0xfe, 0xc6, 0xc6, 0xc6, 0xc6, 0, 0, 0}));
}

TEST_F(BuiltInTables, PaletteEntries) {
    const std::pair<int, std::uint32_t> entries[] = {
        {6, 0xAA5500}, {7, 0xAAAAAA}, {19, 0x2D2D2D},  // brown, grey, the grey ramp
        {32, 0x0000FF}, {36, 0xFF00FF}, {40, 0xFF0000}, {44, 0xFFFF00}, {48, 0x00FF00}, {52, 0x00FFFF},
        {33, 0x4100FF}, {55, 0x0041FF}, {56, 0x7D7DFF}, {247, 0x2D3141}, {248, 0}, {255, 0},
    };
    for (auto [index, colour] : entries) EXPECT_EQ(default_palette_256[index], 0xFF000000u | colour) << index;
    for (auto [index, colour] : {std::pair{20, 0xFFAA5500u}, {56, 0xFF555555u}, {63, 0xFFFFFFFFu}})
        EXPECT_EQ(ega_palette_64[index], colour) << index;
    const std::uint32_t levels[3] = {0, 0x808080, 0xFFFFFF};
    for (int v = 0; v < 9; ++v) {  // level v / 3 in phase 0, v % 3 in phase 1
        EXPECT_EQ(mono_blink_table[v], levels[v / 3]);
        EXPECT_EQ(mono_blink_table[9 + v], levels[v % 3]);
    }
}

TEST_F(BuiltInTables, InitialPaletteByMode) {
    const struct { int mode, index; std::uint32_t colour; } entries[] = {
        {0, 15, 0xFFFFFFFFu}, {0, 16, 0u},
        {1, 1, 0xFF00AAAAu},  {1, 3, 0xFFAAAAAAu},  // black and the second CGA palette
        {9, 6, 0xFFAA5500u},  {10, 7, 8u},
    };
    std::uint32_t palette[256];
    for (const auto& e : entries) {
        palette_initial(e.mode, palette);
        EXPECT_EQ(palette[e.index], e.colour) << e.mode << "," << e.index;
    }
}
