// The built-in fonts and palettes as start-up installs them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"

// The working tables hold the shipped font files' pixels, one byte each,
// leftmost first; the files' letter A shows they are the right files.
TEST(BuiltInTables, GlyphTablesHoldTheFontFilesPixels) {
    fonts_install();
    const std::string a8("\x30\x78\xcc\xcc\xfc\xcc\xcc\0", 8);
    const std::string a16("\0\0\x10\x38\x6c\xc6\xc6\xfe\xc6\xc6\xc6\xc6\0\0\0\0", 16);
    for (auto [file, table, height, letter_a] :
         {std::tuple{"cp437_8x8.bin", font_8x8, 8, a8}, {"cp437_8x16.bin", font_8x16, 16, a16}}) {
        std::ifstream in(std::string(TEST_SOURCE_DIR) + "/data/" + file, std::ios::binary);
        const std::string rows((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(rows.size(), 256u * height) << file;
        EXPECT_EQ(rows.substr(0x41 * height, height), letter_a) << file;
        for (std::size_t i = 0; i < rows.size() * 8; ++i)
            ASSERT_EQ(table[i], (static_cast<std::uint8_t>(rows[i / 8]) << i % 8 & 0x80) ? 0xFF : 0) << file << i;
    }
}

TEST(BuiltInTables, PaletteEntriesAndTheInitialPaletteByMode) {
    palettes_install();
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
