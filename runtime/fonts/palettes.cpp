#include "runtime/fonts/palettes.h"

#include <array>
#include <cstring>

std::uint32_t default_palette_256[256];
std::uint32_t ega_palette_64[64];
std::uint32_t mono_blink_table[18];
std::uint32_t cga_palettes[2][3];

namespace {

constexpr std::uint32_t opaque = 0xFF000000u;

constexpr std::uint32_t rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    return red << 16 | green << 8 | blue;
}

// The five levels lo < m1 < m2 < m3 < hi of one hue wheel.
constexpr std::uint8_t wheel_levels[9][5] = {
    {0x00, 0x41, 0x7D, 0xBE, 0xFF}, {0x7D, 0x9E, 0xBE, 0xDF, 0xFF}, {0xB6, 0xC6, 0xDB, 0xEB, 0xFF},
    {0x00, 0x1C, 0x39, 0x55, 0x71}, {0x39, 0x45, 0x55, 0x61, 0x71}, {0x51, 0x59, 0x61, 0x69, 0x71},
    {0x00, 0x10, 0x20, 0x31, 0x41}, {0x20, 0x28, 0x31, 0x39, 0x41}, {0x2D, 0x31, 0x35, 0x3D, 0x41},
};

// Entries 0 to 15 (the text colours), 16 to 31 (a grey ramp), 32 to 247
// (nine wheels of 24 hues), 248 to 255 black; without alpha.
constexpr std::array<std::uint32_t, 256> build_default_palette() {
    std::array<std::uint32_t, 256> palette{
        0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
        0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF,
    };
    constexpr std::uint8_t greys[16] = {0x00, 0x14, 0x20, 0x2D, 0x39, 0x45, 0x51, 0x61,
                                        0x71, 0x82, 0x92, 0xA2, 0xB6, 0xCA, 0xE3, 0xFF};
    for (int i = 0; i < 16; ++i) palette[16 + i] = rgb(greys[i], greys[i], greys[i]);
    for (int w = 0; w < 9; ++w) {
        const std::uint8_t* level = wheel_levels[w];
        const std::uint32_t lo = level[0], hi = level[4];
        std::uint32_t* hue = &palette[32 + 24 * w];
        // Around the wheel: blue to magenta, red, yellow, green, cyan and back to blue.
        for (int k = 0; k < 4; ++k) {
            const std::uint32_t rising = level[k], falling = level[4 - k];
            hue[k] = rgb(rising, lo, hi);
            hue[4 + k] = rgb(hi, lo, falling);
            hue[8 + k] = rgb(hi, rising, lo);
            hue[12 + k] = rgb(falling, hi, lo);
            hue[16 + k] = rgb(lo, hi, rising);
            hue[20 + k] = rgb(lo, falling, hi);
        }
    }
    return palette;
}

// Entry n, bits 5 to 0 read as r g b R G B: each component is 0xAA for its
// high-intensity bit plus 0x55 for its low-intensity bit.
constexpr std::array<std::uint32_t, 64> build_ega_palette() {
    std::array<std::uint32_t, 64> palette{};
    for (std::uint32_t n = 0; n < 64; ++n) {
        auto component = [n](int high_bit, int low_bit) {
            return 0xAAu * ((n >> high_bit) & 1) + 0x55u * ((n >> low_bit) & 1);
        };
        palette[n] = rgb(component(2, 5), component(1, 4), component(0, 3));
    }
    return palette;
}

constexpr std::array<std::uint32_t, 256> default_palette_source = build_default_palette();
constexpr std::array<std::uint32_t, 64> ega_palette_source = build_ega_palette();

}  // namespace

void palettes_install() {
    for (int i = 0; i < 256; ++i) default_palette_256[i] = default_palette_source[i] | opaque;
    for (int i = 0; i < 64; ++i) ega_palette_64[i] = ega_palette_source[i] | opaque;
    // A value v from 0 to 8 shows level v / 3 in phase 0 and v % 3 in phase 1.
    constexpr std::uint32_t mono_levels[3] = {0x000000, 0x808080, 0xFFFFFF};
    for (int v = 0; v < 9; ++v) {
        mono_blink_table[v] = mono_levels[v / 3];
        mono_blink_table[9 + v] = mono_levels[v % 3];
    }
    for (int i = 0; i < 3; ++i) {
        cga_palettes[0][i] = default_palette_256[2 + 2 * i];
        cga_palettes[1][i] = default_palette_256[3 + 2 * i];
    }
}

void palette_initial(std::int32_t mode, std::uint32_t* palette) {
    if (!palette) return;  // 32-bit images have none
    std::memset(palette, 0, 256 * sizeof *palette);
    switch (mode) {
        case 1:
            palette[0] = default_palette_256[0];
            std::memcpy(palette + 1, cga_palettes[1], sizeof cga_palettes[1]);
            break;
        case 2:
        case 11:
            palette[1] = 0x00FFFFFF;
            break;
        case 9: {
            constexpr std::uint8_t ega_entries[16] = {0, 1, 2, 3, 4, 5, 20, 7, 56, 57, 58, 59, 60, 61, 62, 63};
            for (int i = 0; i < 16; ++i) palette[i] = ega_palette_64[ega_entries[i]];
            break;
        }
        case 10:  // indexes into mono_blink_table, turned into colours by the renderer
            palette[4] = 0;
            palette[5] = 4;
            palette[6] = 6;
            palette[7] = 8;
            break;
        case 13:
        case 256:
            std::memcpy(palette, default_palette_256, 256 * sizeof *palette);
            break;
        default:
            std::memcpy(palette, default_palette_256, 16 * sizeof *palette);
            break;
    }
}
