// The image table: every screen image lives in a slot of it.
//
// Records are kept in blocks of 4,096 that are allocated once and never
// moved, so a record pointer (display_page, read by the renderer on another
// thread) stays valid while the table grows. Released slots go onto a
// free-slot stack and are reused first. Slots 0 and 1 are taken at start and
// never hold an image: slot 0 means "no image" and handle -1 is never valid.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "runtime/errors/errors.h"
#include "runtime/fonts/fonts.h"
#include "runtime/fonts/palettes.h"
#include "runtime/screen/screen_image.h"

namespace {

constexpr std::int32_t records_per_block = 4096;
constexpr std::int32_t max_blocks = 4096;

screen_image first_block[records_per_block];
screen_image* blocks[max_blocks] = {first_block};
std::int32_t block_count = 1;
std::int32_t next_unused_slot = 2;

std::int32_t* free_slots = nullptr;
std::int32_t free_slot_count = 0;
std::int32_t free_slot_room = 0;

screen_image& record(std::int32_t slot) { return blocks[slot / records_per_block][slot % records_per_block]; }

std::int32_t slot_take() {
    if (free_slot_count > 0) return free_slots[--free_slot_count];
    if (next_unused_slot == block_count * records_per_block) {
        screen_image* block = block_count < max_blocks
                                  ? static_cast<screen_image*>(std::calloc(records_per_block, sizeof(screen_image)))
                                  : nullptr;
        if (!block) raise_error(502);  // critical: does not return
        blocks[block_count++] = block;
    }
    return next_unused_slot++;
}

void slot_release(std::int32_t slot) {
    if (free_slot_count == free_slot_room) {
        const std::int32_t room = free_slot_room + 4096;
        auto* grown = static_cast<std::int32_t*>(std::realloc(free_slots, room * sizeof *free_slots));
        if (!grown) raise_error(503);  // critical: does not return
        free_slots = grown;
        free_slot_room = room;
    }
    free_slots[free_slot_count++] = slot;
}

struct mode_defaults {
    std::uint8_t color_bits;
    std::uint32_t font;
    std::uint32_t fg_color;
};

// The record defaults of a screen mode; false for a mode that has no images.
bool find_mode_defaults(std::int32_t mode, mode_defaults& found) {
    switch (mode) {
        case 0: found = {16, 16, 7}; return true;
        case 1: found = {2, 8, 3}; return true;
        case 2: found = {1, 8, 1}; return true;
        case 7:
        case 8: found = {4, 8, 15}; return true;
        case 9: found = {4, 14, 15}; return true;
        case 10: found = {2, 14, 3}; return true;
        case 11: found = {1, 16, 1}; return true;
        case 12: found = {4, 16, 15}; return true;
        case 13: found = {8, 8, 15}; return true;
        case 256: found = {8, 16, 15}; return true;
        case 32: found = {32, 16, 0xFFFFFFFF}; return true;
        default: return false;
    }
}

std::uint8_t bytes_per_cell_of_mode(std::int32_t mode) { return mode == 0 ? 2 : mode == 32 ? 4 : 1; }

}  // namespace

std::int32_t image_text_rows(const screen_image& image) {
    if (image.is_text) return image.height;
    const std::int32_t cell_height = image.font < 49 ? font_height[image.font] : 0;
    return cell_height > 0 ? image.height / cell_height : 1;
}

screen_image* image_get(std::int32_t slot) {
    if (slot <= 0 || slot >= next_unused_slot) return nullptr;
    screen_image& image = record(slot);
    return image.in_use ? &image : nullptr;
}

std::int32_t image_new_over_memory(std::uint8_t* memory, std::int32_t width, std::int32_t height,
                                   std::int32_t mode) {
    mode_defaults defaults;
    if (!find_mode_defaults(mode, defaults)) return 0;
    if (width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF) return 0;
    std::uint32_t* palette = nullptr;
    if (mode != 32) {
        palette = static_cast<std::uint32_t*>(std::malloc(256 * sizeof *palette));
        if (!palette) return 0;
        palette_initial(mode, palette);
    }

    const std::int32_t slot = slot_take();
    screen_image& image = record(slot);
    image = screen_image{};
    image.in_use = 1;
    image.is_text = mode == 0;
    image.width = static_cast<std::uint16_t>(width);
    image.height = static_cast<std::uint16_t>(height);
    image.bytes_per_cell = bytes_per_cell_of_mode(mode);
    image.color_bits = defaults.color_bits;
    image.color_mask = defaults.color_bits > 31 ? 0xFFFFFFFFu : (1u << defaults.color_bits) - 1;
    image.compat_mode = static_cast<std::uint16_t>(mode);
    image.fg_color = defaults.fg_color;
    image.bg_color = mode == 32 ? 0xFF000000u : 0;
    image.draw_color = image.fg_color;
    image.font = defaults.font;
    if (mode == 0) {
        image.cursor_start = 4;
        image.cursor_stop = 4;
    }
    image.cells = memory;
    image.palette = palette;
    image.flags = palette ? image_owns_palette : 0;
    image.transparent_color = -1;
    image.print_mode = 3;
    image.draw_state_scale = 1.0;
    image_set_font(static_cast<std::int32_t>(image.font), &image);
    return slot;
}

std::int32_t image_new(std::int32_t width, std::int32_t height, std::int32_t mode) {
    mode_defaults defaults;
    if (!find_mode_defaults(mode, defaults) || width < 1 || height < 1 || width > 0xFFFF || height > 0xFFFF)
        return 0;
    const std::size_t cell_count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    auto* memory = static_cast<std::uint8_t*>(std::calloc(cell_count, bytes_per_cell_of_mode(mode)));
    if (!memory) return 0;
    if (mode == 0)
        for (std::size_t i = 0; i < cell_count; ++i) {
            memory[2 * i] = ' ';
            memory[2 * i + 1] = 7;
        }
    const std::int32_t slot = image_new_over_memory(memory, width, height, mode);
    if (!slot) {
        std::free(memory);
        return 0;
    }
    record(slot).flags |= image_owns_cells;
    return slot;
}

void image_free(std::int32_t slot) {
    screen_image* image = image_get(slot);
    if (!image) return;
    if (image->flags & image_owns_cells) std::free(image->cells);
    if (image->flags & image_owns_palette) std::free(image->palette);
    *image = screen_image{};
    slot_release(slot);
}

void image_set_font(std::int32_t font, screen_image* image) {
    image->font = static_cast<std::uint32_t>(font);
    image->cursor_x = 1;
    image->cursor_y = 1;
    image_view_reset(*image);
}

void image_view_reset(screen_image& image) {
    image.view_top = 1;
    image.view_bottom = static_cast<std::int16_t>(std::clamp(image_text_rows(image) - 1, 1, 0x7FFF));
}
