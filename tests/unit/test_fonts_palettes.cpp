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

TEST_F(BuiltInTables, FontMetrics) {
    const int fonts[] = {8, 9, 14, 15, 16, 17}, widths[] = {8, 16, 8, 16, 8, 16}, heights[] = {8, 8, 14, 14, 16, 16};
    int listed = 0;
    for (int f = 0; f < 49; ++f) {
        if (listed < 6 && fonts[listed] == f) {
            EXPECT_EQ(font_width[f], widths[listed]) << f;
            EXPECT_EQ(font_height[f], heights[listed]) << f;
            EXPECT_EQ(font_size[f], 16) << f;
            ++listed;
        } else {
            EXPECT_EQ(font_width[f] | font_height[f] | font_size[f], 0) << f;
        }
    }
}

TEST_F(BuiltInTables, DefaultPaletteTextColoursGreysWheelsAndTail) {
    const std::uint32_t text[16] = {0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA,
                                    0xFFAA5500, 0xFFAAAAAA, 0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF,
                                    0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(default_palette_256[i], text[i]) << i;
    EXPECT_EQ(default_palette_256[16], 0xFF000000u);
    EXPECT_EQ(default_palette_256[19], 0xFF2D2D2Du);
    EXPECT_EQ(default_palette_256[31], 0xFFFFFFFFu);
    const std::pair<int, std::uint32_t> wheel[] = {
        {32, 0x0000FF}, {36, 0xFF00FF}, {40, 0xFF0000}, {44, 0xFFFF00}, {48, 0x00FF00}, {52, 0x00FFFF},
        {33, 0x4100FF}, {55, 0x0041FF}, {56, 0x7D7DFF}, {247, 0x2D3141},
    };
    for (auto [index, colour] : wheel) EXPECT_EQ(default_palette_256[index], 0xFF000000u | colour) << index;
    for (int i = 248; i < 256; ++i) EXPECT_EQ(default_palette_256[i], 0xFF000000u) << i;
}

TEST_F(BuiltInTables, EgaMonoBlinkAndCgaTables) {
    EXPECT_EQ(ega_palette_64[0], 0xFF000000u);
    EXPECT_EQ(ega_palette_64[1], 0xFF0000AAu);
    EXPECT_EQ(ega_palette_64[20], 0xFFAA5500u);
    EXPECT_EQ(ega_palette_64[56], 0xFF555555u);
    EXPECT_EQ(ega_palette_64[63], 0xFFFFFFFFu);
    const std::uint32_t mono[18] = {0, 0, 0, 0x808080, 0x808080, 0x808080, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                    0, 0x808080, 0xFFFFFF, 0, 0x808080, 0xFFFFFF, 0, 0x808080, 0xFFFFFF};
    for (int i = 0; i < 18; ++i) EXPECT_EQ(mono_blink_table[i], mono[i]) << i;
    EXPECT_EQ(cga_palettes[0][0], default_palette_256[2]);
    EXPECT_EQ(cga_palettes[0][2], default_palette_256[6]);
    EXPECT_EQ(cga_palettes[1][1], default_palette_256[5]);
}

TEST_F(BuiltInTables, InitialPaletteByMode) {
    std::uint32_t palette[256];
    palette_initial(0, palette);
    EXPECT_EQ(palette[7], 0xFFAAAAAAu);
    EXPECT_EQ(palette[15], 0xFFFFFFFFu);
    EXPECT_EQ(palette[16], 0u);
    palette_initial(1, palette);
    EXPECT_EQ(palette[0], 0xFF000000u);
    EXPECT_EQ(palette[1], 0xFF00AAAAu);
    EXPECT_EQ(palette[3], 0xFFAAAAAAu);
    EXPECT_EQ(palette[4], 0u);
    palette_initial(11, palette);
    EXPECT_EQ(palette[0], 0u);
    EXPECT_EQ(palette[1], 0x00FFFFFFu);
    palette_initial(9, palette);
    EXPECT_EQ(palette[6], ega_palette_64[20]);
    EXPECT_EQ(palette[8], ega_palette_64[56]);
    palette_initial(10, palette);
    EXPECT_EQ(palette[3], 0u);
    EXPECT_EQ(palette[5], 4u);
    EXPECT_EQ(palette[7], 8u);
    palette_initial(13, palette);
    EXPECT_EQ(palette[247], default_palette_256[247]);
    palette_initial(12, palette);
    EXPECT_EQ(palette[15], 0xFFFFFFFFu);
    EXPECT_EQ(palette[200], 0u);
}
