// Copies of a page: INPUT keeps the screen as it was when it began and a
// scratch page to reprint its line on.
#pragma once
#include <cstdint>

struct screen_image;

// A new image with the same size, mode, colours, cursor and cells as the
// page (its own memory and palette); the slot, or 0 when it cannot be made.
std::int32_t page_copy_new(const screen_image& page);
// Copies the cells of one image onto another of the same size and mode.
void page_copy_cells(const screen_image& from, screen_image& to);
