#include "runtime/fonts/fonts.h"

std::uint8_t font_8x8[256 * 64];
std::uint8_t font_8x16[256 * 128];

// The metrics of the built-in fonts hold from static initialisation on, so
// that pages made before start-up (unit tests) have their cell sizes too.
std::int32_t font_width[49] = {0, 0, 0, 0, 0, 0, 0, 0, 8, 16, 0, 0, 0, 0, 8, 16, 8, 16};
std::int32_t font_height[49] = {0, 0, 0, 0, 0, 0, 0, 0, 8, 8, 0, 0, 0, 0, 14, 14, 16, 16};
std::int32_t font_size[49] = {0, 0, 0, 0, 0, 0, 0, 0, 16, 16, 0, 0, 0, 0, 16, 16, 16, 16};

namespace {

// Expands packed glyph rows to one byte per pixel, leftmost pixel first.
void expand_rows(const std::uint8_t* rows, int row_count, std::uint8_t* pixels) {
    for (int r = 0; r < row_count; ++r)
        for (int bit = 7; bit >= 0; --bit) *pixels++ = (rows[r] >> bit) & 1 ? 0xFF : 0x00;
}

}  // namespace

void fonts_install() {
    expand_rows(font_8x8_rows, 256 * 8, font_8x8);
    expand_rows(font_8x16_rows, 256 * 16, font_8x16);
}
