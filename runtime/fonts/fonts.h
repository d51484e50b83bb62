// The built-in bitmap fonts (code page 437), one byte per pixel (0x00 or 0xFF).
#pragma once
#include <cstdint>

extern std::uint8_t font_8x8[256 * 64];     // glyph c at c * 64, 8 bytes a row
extern std::uint8_t font_8x16[256 * 128];   // glyph c at c * 128; the 14-row font starts 8 bytes in

// Cell width and height in pixels by font number (8, 9, 14, 15, 16, 17); 0 elsewhere.
extern std::int32_t font_width[49];
extern std::int32_t font_height[49];
// The third per-font table, read by the font statements: 16 for each built-in font.
extern std::int32_t font_size[49];

// The constant glyph data the working tables are built from: one byte a
// glyph row, leftmost pixel in the most significant bit (font_glyphs.cpp).
extern const std::uint8_t font_8x8_rows[256 * 8];
extern const std::uint8_t font_8x16_rows[256 * 16];

// Start-up: expands the constant glyph data into the working tables (the
// metric tables are filled by static initialisation).
void fonts_install();
