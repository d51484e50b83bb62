#include <gtest/gtest.h>

#include <vector>

#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"

namespace {

class BuiltInTables : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        fonts_install();
        palettes_install();
    }
};

// A glyph's rows read back from a working table as bytes, leftmost pixel high.
std::vector<int> glyph_rows(const std::uint8_t* glyph, int rows) {
    std::vector<int> packed;
    for (int r = 0; r < rows; ++r) {
        int byte = 0;
        for (int x = 0; x < 8; ++x) {
            EXPECT_TRUE(glyph[8 * r + x] == 0x00 || glyph[8 * r + x] == 0xFF);
            byte = byte << 1 | (glyph[8 * r + x] != 0);
        }
        packed.push_back(byte);
    }
    return packed;
}

}  // namespace

TEST_F(BuiltInTables, GlyphRowsMatchTheDataChecks) {
    using rows = std::vector<int>;
    EXPECT_EQ(glyph_rows(font_8x8 + 0x41 * 64, 8), (rows{0x30, 0x78, 0xcc, 0xcc, 0xfc, 0xcc, 0xcc, 0x00}));
    EXPECT_EQ(glyph_rows(font_8x8 + 0x30 * 64, 8), (rows{0x7c, 0xc6, 0xce, 0xde, 0xf6, 0xe6, 0x7c, 0x00}));
    EXPECT_EQ(glyph_rows(font_8x8 + 0x61 * 64, 8), (rows{0x00, 0x00, 0x78, 0x0c, 0x7c, 0xcc, 0x76, 0x00}));
    EXPECT_EQ(glyph_rows(font_8x16 + 0x41 * 128, 16),
              (rows{0, 0, 0x10, 0x38, 0x6c, 0xc6, 0xc6, 0xfe, 0xc6, 0xc6, 0xc6, 0xc6, 0, 0, 0, 0}));
    EXPECT_EQ(glyph_rows(font_8x16 + 0x30 * 128, 16),
              (rows{0, 0, 0x38, 0x6c, 0xc6, 0xc6, 0xd6, 0xd6, 0xc6, 0xc6, 0x6c, 0x38, 0, 0, 0, 0}));
    EXPECT_EQ(glyph_rows(font_8x16 + 0x61 * 128, 16),
              (rows{0, 0, 0, 0, 0, 0x78, 0x0c, 0x7c, 0xcc, 0xcc, 0xcc, 0x76, 0, 0, 0, 0}));
    EXPECT_EQ(glyph_rows(font_8x8 + 0xDB * 64, 8), rows(8, 0xff));
    EXPECT_EQ(glyph_rows(font_8x16 + 0xDB * 128, 16), rows(16, 0xff));
    for (int blank : {0x00, 0x20}) {
        EXPECT_EQ(glyph_rows(font_8x8 + blank * 64, 8), rows(8, 0));
        EXPECT_EQ(glyph_rows(font_8x16 + blank * 128, 16), rows(16, 0));
    }
    // The 14-row form: rows 1 to 14 of the 16-row glyph.
    EXPECT_EQ(glyph_rows(font_8x16 + 0x41 * 128 + 8, 14),
              (rows{0, 0x10, 0x38, 0x6c, 0xc6, 0xc6, 0xfe, 0xc6, 0xc6, 0xc6, 0xc6, 0, 0, 0}));
}

TEST_F(BuiltInTables, PaletteEntries) {
    EXPECT_EQ(default_palette_256[6], 0xFFAA5500u);   // brown
    EXPECT_EQ(default_palette_256[7], 0xFFAAAAAAu);
    EXPECT_EQ(default_palette_256[19], 0xFF2D2D2Du);  // grey ramp
    const std::pair<int, std::uint32_t> wheel[] = {
        {32, 0x0000FF}, {36, 0xFF00FF}, {40, 0xFF0000}, {44, 0xFFFF00}, {48, 0x00FF00}, {52, 0x00FFFF},
        {33, 0x4100FF}, {55, 0x0041FF}, {56, 0x7D7DFF}, {247, 0x2D3141}, {248, 0}, {255, 0},
    };
    for (auto [index, colour] : wheel) EXPECT_EQ(default_palette_256[index], 0xFF000000u | colour) << index;
    EXPECT_EQ(ega_palette_64[20], 0xFFAA5500u);
    EXPECT_EQ(ega_palette_64[56], 0xFF555555u);
    EXPECT_EQ(ega_palette_64[63], 0xFFFFFFFFu);
    for (int v = 0; v < 9; ++v) {  // level v / 3 in phase 0, v % 3 in phase 1
        const std::uint32_t levels[3] = {0, 0x808080, 0xFFFFFF};
        EXPECT_EQ(mono_blink_table[v], levels[v / 3]);
        EXPECT_EQ(mono_blink_table[9 + v], levels[v % 3]);
    }
}

TEST_F(BuiltInTables, InitialPaletteByMode) {
    std::uint32_t palette[256];
    palette_initial(0, palette);
    EXPECT_EQ(palette[15], 0xFFFFFFFFu);
    EXPECT_EQ(palette[16], 0u);
    palette_initial(1, palette);  // black and the second CGA palette
    EXPECT_EQ(palette[1], 0xFF00AAAAu);
    EXPECT_EQ(palette[3], 0xFFAAAAAAu);
    palette_initial(9, palette);
    EXPECT_EQ(palette[6], ega_palette_64[20]);
    palette_initial(10, palette);
    EXPECT_EQ(palette[7], 8u);
}
