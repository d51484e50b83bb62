// The built-in colour tables (0xAARRGGBB once installed).
#pragma once
#include <cstdint>

extern std::uint32_t default_palette_256[256];
extern std::uint32_t ega_palette_64[64];
extern std::uint32_t mono_blink_table[18];
// The two CGA palettes of mode 1 (page palette entries 1 to 3): green, red,
// brown and cyan, magenta, light grey.
extern std::uint32_t cga_palettes[2][3];

// Start-up: copies the constant tables and ORs alpha 0xFF000000 into the palettes.
void palettes_install();
// Fills a new page's 256-entry palette for its screen mode.
void palette_initial(std::int32_t mode, std::uint32_t* palette);
