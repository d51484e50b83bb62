// PALETTE, COLOR and CLS on the write page. Each checks all its arguments
// against the page's screen mode before changing anything and raises error 5
// for a value out of range; all do nothing while an error is pending.
#pragma once
#include <cstdint>

// PALETTE attribute, colour (flag 1), or PALETTE alone (flag 0: the mode's default palette).
void palette_set(std::int32_t attribute, std::int32_t colour, std::int32_t flag);
// COLOR foreground, background, border; mask bit 0 foreground, bit 1 background, bit 2 border.
void color_set(std::int32_t fg, std::int32_t bg, std::int32_t border, std::int32_t mask);
// CLS method, colour; mask bit 0 method, bit 1 colour.
void cls(std::int32_t method, std::int32_t colour, std::int32_t mask);
