// Screen images and text pages.
//
// Every drawable surface is a screen_image in the image table; a text page
// is one whose cells are (character, attribute) byte pairs. The pages of
// SCREEN 0 keep their cells in the emulated video memory at 0xB8000.
#pragma once
#include <cstdint>

// Whether PRINT holds the cursor at the last column instead of moving on:
// not, a new line owed before the next text, or a LOCATE without a
// position while it held.
enum : std::uint8_t { cursor_not_held = 0, cursor_held_for_newline = 1, cursor_held_at_locate = 2 };

// Only the program thread writes an image (but for the blinking levels that
// the renderer sets in a mode 10 palette). The renderer (screen thread; the
// window thread for a blink flip) and the clipboard (window thread) read the
// display page's cells, size, font, cursor and palette without a lock: a torn
// cell is simply redrawn on the next pass, and a copy may at worst show a
// character mid-change. A change of mode, size or font waits for a render
// pause (render_pause.h), which stops the renderer but not the clipboard.
struct screen_image {
    std::uint8_t in_use;
    std::uint8_t is_text;
    std::uint8_t is_console;
    std::uint16_t width;            // columns (text) or pixels
    std::uint16_t height;           // rows (text) or pixels
    std::uint8_t bytes_per_cell;
    std::uint8_t color_bits;
    std::uint32_t color_mask;
    std::uint16_t compat_mode;      // BASIC screen mode: 0 text, 1, 2, 7-13, 256, 32
    std::uint32_t fg_color;
    std::uint32_t bg_color;
    std::uint32_t draw_color;
    std::uint32_t font;
    std::int16_t view_top;          // VIEW PRINT region, 1-based
    std::int16_t view_bottom;
    std::int16_t cursor_x;          // 1-based
    std::int16_t cursor_y;
    std::uint8_t cursor_visible;
    std::uint8_t cursor_start;
    std::uint8_t cursor_stop;
    std::uint8_t* cells;
    std::uint32_t flags;            // image_owns_palette | image_is_screen_page | image_owns_cells
    std::uint32_t* palette;         // 256 colours, 0x00RRGGBB (alpha from start-up tables)
    std::int32_t transparent_color;
    std::uint8_t alpha_disabled;
    std::uint8_t holding_cursor;    // cursor_not_held, cursor_held_for_newline or cursor_held_at_locate
    std::uint8_t print_mode;
    // Graphics state (belongs to the graphics statements).
    std::int32_t view_x1, view_y1, view_x2, view_y2;
    double graphics_x, graphics_y;
    std::int64_t draw_state_value;  // reset to 0 by SCREEN and CLS
    double draw_state_scale;        // reset to 1.0 by SCREEN and CLS
};

inline constexpr std::uint32_t image_owns_palette = 1u << 0;
inline constexpr std::uint32_t image_is_screen_page = 1u << 1;
inline constexpr std::uint32_t image_owns_cells = 1u << 2;

// The image table: a slot number addresses an image; slot 0 means none.
screen_image* image_get(std::int32_t slot);   // null for a free or invalid slot

// The pages of the screen and the images that statements act on: the
// program thread's. display_page is also read, without a lock, by the
// renderer and the clipboard (see screen_image above); SCREEN sets it under a
// render pause when the mode changes, by a plain store when only the visual
// page does. Records never move (image_table.cpp), so a pointer read stays valid.
extern std::int32_t display_page_slot;
extern screen_image* display_page;            // what the window shows
extern std::int32_t write_page_slot;
extern screen_image* write_page;              // PRINT, CLS, COLOR, PALETTE, LOCATE, INPUT
extern std::int32_t source_image_slot;
extern screen_image* source_image;
extern std::int32_t active_page_number;

// New image with its own memory (text: 0x0720-filled); returns the slot, 0 on failure.
std::int32_t image_new(std::int32_t width, std::int32_t height, std::int32_t mode);
// New image whose cells live in the given memory (not owned); slot or 0.
std::int32_t image_new_over_memory(std::uint8_t* memory, std::int32_t width, std::int32_t height,
                                   std::int32_t mode);
void image_free(std::int32_t slot);
// Rows of text an image holds: its height for a text page, pixel height /
// font height otherwise.
std::int32_t image_text_rows(const screen_image& image);
// The scrolling region of the whole image less its last row: view_top 1,
// view_bottom rows - 1 (at least 1).
void image_view_reset(screen_image& image);
// Sets the font; cursor to 1,1; view_top 1, view_bottom rows - 1 (at least 1).
void image_set_font(std::int32_t font, screen_image* image);
// Page number -> slot, creating a missing page like page 0 (shares its palette).
std::int32_t page_get_or_create(std::int32_t page);
// Length of the page list, and the slot of a page (0 when it does not exist).
std::int32_t page_count();
std::int32_t page_slot(std::int32_t page);

// SCREEN. presence: bit 0 mode, bit 2 active page, bit 3 visual page.
void screen_set_mode(std::int32_t mode, std::int32_t color_switch, std::int32_t active_page,
                     std::int32_t visual_page, std::int32_t fifth, std::int32_t presence);
// LOCATE. presence bits 0-4: row, column, cursor visible, cursor start, cursor stop.
void locate(std::int32_t row, std::int32_t column, std::int32_t cursor_visible, std::int32_t cursor_start,
            std::int32_t cursor_stop, std::int32_t presence);
// VIEW PRINT top TO bottom (presence bit 0: both given); without them the whole page less the last row.
void view_print(std::int32_t top, std::int32_t bottom, std::int32_t presence);

// Lets the first LOCATE beyond the region switch to 80 x 50 (set once after start-up).
extern std::int32_t allow_50_rows;

// The geometry the next SCREEN 0 builds its pages with (set by WIDTH);
// -1 when unset.
extern std::int32_t next_text_columns;
extern std::int32_t next_text_rows;
extern std::int32_t next_text_font;

// Rebuilds the text pages at the given geometry, keeping the first kept_bytes
// of video memory and the write page's colours: the part of WIDTH that LOCATE
// needs for its switch to 80 x 50. Clears allow_50_rows.
void text_screen_resize(std::int32_t columns, std::int32_t rows, std::int32_t font, std::int32_t kept_bytes);
