// The built-in palettes as start-up installs them. (The end-to-end tests
// read every printable glyph of the font file back from the window.)
#include <gtest/gtest.h>

#include "runtime/display/palettes.h"

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
