// The rendering pass: the display page into a software frame.
//
// A text pass compares the page with what the last pass drew (the cells in
// saved_cells, the palette in render_palette, the blink phase and the
// cursor) and ends without a frame when nothing visible changed. Otherwise it
// copies the newest complete frame and redraws only the cells that changed,
// and notes in the frame the pixel rows it redrew and the columns within them.
//
// The blink phase of the cursor and of blinking characters comes from the
// monotonic clock: on for 256 ms, off for 256 ms. Each pass notes when the
// phase next flips if something on the page blinks, so that no thread need
// look before then.
#include "runtime/render/frame_renderer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "runtime/core/sleep.h"
#include "runtime/core/threads.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/fonts/fonts.h"
#include "runtime/fonts/palettes.h"
#include "runtime/render/software_frame.h"
#include "runtime/render/text_selection.h"
#include "runtime/screen/render_pause.h"
#include "runtime/screen/screen_image.h"

namespace {

// The renderer's own state in this file (drawn, pass_blink_deadline, the
// drawing functions, row_cells) is touched only inside a pass, under pass_lock.

// What the last drawn text pass showed, beyond the cells and the palette.
struct drawn_text_state {
    bool blink_phase;
    std::int32_t cursor_column, cursor_row;   // 0-based; -1 none
    bool cursor_shown;                        // cursor pixels are on the frame
    std::uint8_t cursor_start, cursor_stop;
    std::int32_t blink_enabled;
    std::uint64_t highlight;                  // the selected cells shown swapped (selection_highlight)
};
drawn_text_state drawn{false, -1, -1, false, 0, 0, 1, 0};
// The blink flip the pass under way found (render_blink_deadline at its end).
std::int64_t pass_blink_deadline = no_deadline;

constexpr std::int64_t blink_phase_ms = 256;
// The blinking levels of the monochrome page mode alternate every 512 ms.
constexpr int mono_blink_shift = 9;

// The clock_ms at which a phase of period_ms that holds at now ends.
std::int64_t phase_end(std::int64_t now, std::int64_t period_ms) { return (now / period_ms + 1) * period_ms; }

bool has_blinking_cell(const std::uint8_t* cells, std::int64_t cell_bytes) {
    for (std::int64_t i = 1; i < cell_bytes; i += 2)
        if (cells[i] & 0x80) return true;
    return false;
}

// Where the glyphs of a font come from: glyph c starts at base + c * stride,
// 8 bytes a row; doubled fonts draw each glyph column twice.
struct glyph_source {
    const std::uint8_t* base;   // null: no built-in glyphs (cells show their background)
    std::int32_t stride;
    bool doubled;
};

glyph_source glyphs_of_font(std::uint32_t font) {
    switch (font) {
        case 8: return {font_8x8, 64, false};
        case 9: return {font_8x8, 64, true};
        case 14: return {font_8x16 + 8, 128, false};
        case 15: return {font_8x16 + 8, 128, true};
        case 16: return {font_8x16, 128, false};
        case 17: return {font_8x16, 128, true};
        default: return {nullptr, 0, false};
    }
}

// Pixel rows of the text cursor for cursor lines s (start) and e (stop) in a
// cell of h rows; false when no row is filled.
bool cursor_rows(std::int32_t s, std::int32_t e, std::int32_t h, std::int32_t& first, std::int32_t& last) {
    // Rows "at the bottom" count upward from h - 1, or from row 14 in a 16-row cell.
    const std::int32_t bottom = h - 1 == 15 ? 14 : h - 1;
    if (e == 0 && s != 0) return false;
    if (e == 0 && s == 0) {
        first = last = 0;
    } else if (e >= s && s == e) {
        first = last = s < 4 ? s : bottom;
    } else if (e > s && s >= 3) {
        const std::int32_t span = e - s;
        if (span >= 3) {
            first = h - h / 2;
            last = h - 1;
        } else {
            first = bottom - span;
            last = bottom;
        }
    } else if (e > s && s == 2) {
        if (e == 3) {
            first = 2;
            last = 3;
        } else if (e == 4) {
            first = bottom - 2;
            last = bottom;
        } else {
            first = 2;
            last = h - 1;
        }
    } else if (e > s) {   // s <= 1
        first = s;
        last = e > 3 ? h - 1 : e;
    } else {              // e < s
        first = e;
        last = h - 1;
    }
    if (first < 0) first = 0;
    if (last > h - 1) last = h - 1;
    return first < h && first <= last;
}

// Glyph drawing. The cells of one text row that need drawing are listed and
// then drawn one after the other. A glyph row is 8 bytes, one per pixel: the
// foreground where the byte is non-zero, else the background. The vector
// versions compare the bytes with zero and widen them to 32-bit masks; the
// AVX2 version is chosen at run time where the processor has it.
struct cell_to_draw {
    const std::uint8_t* glyph;   // the glyph's first row
    std::int32_t offset;         // first pixel of the cell in a pixel row
    std::uint32_t fg;
    std::uint32_t difference;    // fg ^ bg: a pixel is fg ^ (difference & background mask)
};

inline std::uint32_t background_of(const cell_to_draw& cell) { return cell.fg ^ cell.difference; }

inline void fill_pixels(std::uint32_t* out, std::int32_t count, std::uint32_t colour) {
    for (std::int32_t i = 0; i < count; ++i) out[i] = colour;
}

// Draws count cells 8 pixels wide (16 with doubled glyph pixels) and rows
// high into the text row whose first pixel row is row.
using draw_cells_function = void (*)(std::uint32_t* row, std::int64_t frame_width, const cell_to_draw* cells,
                                     std::int32_t count, std::int32_t rows);

template <bool doubled>
void draw_cells_portable(std::uint32_t* row, std::int64_t frame_width, const cell_to_draw* cells, std::int32_t count,
                         std::int32_t rows) {
    for (const cell_to_draw* cell = cells; cell != cells + count; ++cell) {
        std::uint32_t* out = row + cell->offset;
        const std::uint8_t* glyph = cell->glyph;
        for (std::int32_t y = 0; y < rows; ++y, out += frame_width, glyph += 8)
            for (int i = 0; i < (doubled ? 16 : 8); ++i)
                out[i] = glyph[doubled ? i / 2 : i] ? cell->fg : background_of(*cell);
    }
}

#if defined(__x86_64__)
// 0xFF in each of the 8 low bytes that is zero in the glyph row.
inline __m128i glyph_row_zero_bytes(const std::uint8_t* glyph) {
    return _mm_cmpeq_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(glyph)), _mm_setzero_si128());
}

inline void store_sse2(std::uint32_t* out, __m128i zero_mask, __m128i fg, __m128i difference) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_xor_si128(fg, _mm_and_si128(difference, zero_mask)));
}

template <bool doubled>
void draw_cells_sse2(std::uint32_t* row, std::int64_t frame_width, const cell_to_draw* cells, std::int32_t count,
                     std::int32_t rows) {
    for (const cell_to_draw* cell = cells; cell != cells + count; ++cell) {
        std::uint32_t* out = row + cell->offset;
        const std::uint8_t* glyph = cell->glyph;
        const __m128i fg = _mm_set1_epi32(static_cast<int>(cell->fg));
        const __m128i difference = _mm_set1_epi32(static_cast<int>(cell->difference));
        for (std::int32_t y = 0; y < rows; ++y, out += frame_width, glyph += 8) {
            __m128i bytes = glyph_row_zero_bytes(glyph);
            if (doubled) {
                bytes = _mm_unpacklo_epi8(bytes, bytes);
                const __m128i high = _mm_unpackhi_epi8(bytes, bytes);
                store_sse2(out + 8, _mm_unpacklo_epi16(high, high), fg, difference);
                store_sse2(out + 12, _mm_unpackhi_epi16(high, high), fg, difference);
            }
            const __m128i low = _mm_unpacklo_epi8(bytes, bytes);
            store_sse2(out, _mm_unpacklo_epi16(low, low), fg, difference);
            store_sse2(out + 4, _mm_unpackhi_epi16(low, low), fg, difference);
        }
    }
}

template <bool doubled>
__attribute__((target("avx2"))) void draw_cells_avx2(std::uint32_t* row, std::int64_t frame_width,
                                                     const cell_to_draw* cells, std::int32_t count,
                                                     std::int32_t rows) {
    for (const cell_to_draw* cell = cells; cell != cells + count; ++cell) {
        std::uint32_t* out = row + cell->offset;
        const std::uint8_t* glyph = cell->glyph;
        const __m256i fg = _mm256_set1_epi32(static_cast<int>(cell->fg));
        const __m256i difference = _mm256_set1_epi32(static_cast<int>(cell->difference));
        for (std::int32_t y = 0; y < rows; ++y, out += frame_width, glyph += 8) {
            __m128i bytes = glyph_row_zero_bytes(glyph);
            if (doubled) {
                bytes = _mm_unpacklo_epi8(bytes, bytes);
                const __m256i high = _mm256_cvtepi8_epi32(_mm_unpackhi_epi64(bytes, bytes));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8),
                                    _mm256_xor_si256(fg, _mm256_and_si256(difference, high)));
            }
            const __m256i low = _mm256_cvtepi8_epi32(bytes);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                                _mm256_xor_si256(fg, _mm256_and_si256(difference, low)));
        }
    }
}

const bool processor_has_avx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
#else
const bool processor_has_avx2 = false;
#endif

draw_cells_function draw_cells = nullptr;
draw_cells_function draw_cells_doubled = nullptr;

// The cells of one text row waiting to be drawn (grows, never shrinks).
cell_to_draw* row_cells = nullptr;
std::int32_t row_cells_capacity = 0;

bool row_cells_reserve(std::int32_t columns) {
    if (columns <= row_cells_capacity) return true;
    auto* grown = static_cast<cell_to_draw*>(std::realloc(row_cells, static_cast<std::size_t>(columns) * sizeof(cell_to_draw)));
    if (!grown) return false;
    row_cells = grown;
    row_cells_capacity = columns;
    return true;
}

// Draws the listed cells of a text row, whose first pixel row is out; glyph
// pixels when the font has glyphs of the cell's width, else the background.
void draw_row_cells(std::uint32_t* out, std::int64_t frame_width, std::int32_t cell_width, std::int32_t cell_height,
                    const glyph_source& glyphs, bool glyphs_fit, std::int32_t count) {
    if (!draw_cells) select_glyph_drawing(2);
    if (glyphs_fit) {
        (glyphs.doubled ? draw_cells_doubled : draw_cells)(out, frame_width, row_cells, count, cell_height);
        return;
    }
    for (std::int32_t y = 0; y < cell_height; ++y, out += frame_width)
        for (std::int32_t i = 0; i < count; ++i)
            fill_pixels(out + row_cells[i].offset, cell_width, background_of(row_cells[i]));
}

// Makes sure the frame holds width x height pixels; false when the memory
// cannot be had (the pass then draws nothing).
bool frame_reserve(software_frame* frame, std::int32_t width, std::int32_t height) {
    const std::int64_t bytes = static_cast<std::int64_t>(width) * height * 4;
    if (bytes <= 0 || bytes > INT32_MAX) return false;
    frame->picture_order = 0;   // the pass draws over it
    if (frame->capacity < bytes) {
        std::free(frame->pixels);
        frame->pixels = static_cast<std::uint32_t*>(std::malloc(static_cast<std::size_t>(bytes)));
        frame->capacity = frame->pixels ? static_cast<std::int32_t>(bytes) : 0;
        if (!frame->pixels) return false;
    }
    frame->width = width;
    frame->height = height;
    return true;
}

// The frame record whose pixels were drawn in the pass of order, null when
// the pool no longer holds it.
const software_frame* frame_of_order(std::int64_t order) {
    for (const software_frame& frame : software_frames)
        if (frame.order == order) return &frame;
    return nullptr;
}

// Brings the pixels of frame, which held the complete picture of order held
// of the same size, to the picture of newest: only the rows redrawn by the
// frames between them, as long as the pool still records each of them;
// otherwise all rows.
void copy_picture(software_frame* frame, const software_frame* newest, std::int64_t held) {
    std::int32_t top = 0, bottom = frame->height;
    if (held != 0) {
        top = frame->height, bottom = 0;
        const software_frame* step = newest;
        for (int hops = 0; step && hops < software_frame_count; ++hops) {
            if (step->base_order == 0) break;
            if (step->changed_top < top) top = step->changed_top;
            if (step->changed_bottom > bottom) bottom = step->changed_bottom;
            if (step->base_order == held) break;
            step = frame_of_order(step->base_order);
        }
        if (!step || step->base_order != held) top = 0, bottom = frame->height;
    }
    if (bottom <= top) return;
    const std::size_t row_bytes = static_cast<std::size_t>(frame->width) * 4;
    std::memcpy(frame->pixels + static_cast<std::int64_t>(top) * frame->width,
                newest->pixels + static_cast<std::int64_t>(top) * frame->width, row_bytes * (bottom - top));
}

bool saved_cells_reserve(std::int64_t bytes) {
    if (bytes == saved_cells_size) return true;
    std::free(saved_cells);
    saved_cells = static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(bytes > 0 ? bytes : 1)));
    saved_cells_size = saved_cells ? bytes : 0;
    return saved_cells != nullptr;
}

void frame_drawn_whole(software_frame* frame) {
    frame->base_order = 0;
    frame->changed_top = frame->changed_left = 0;
    frame->changed_bottom = frame->height;
    frame->changed_right = frame->width;
}

// How a pass ended: a frame was drawn; nothing needed drawing (the
// comparison state still holds); or memory was short (it no longer holds).
enum pass_result { pass_drawn, pass_skipped, pass_failed };

const std::uint32_t* page_palette(const screen_image* page) {
    static const std::uint32_t no_palette[256] = {};
    return page->palette ? page->palette : no_palette;
}

// The selection's highlight as this pass draws it: gone when the page was
// resized or one of the selected cells has changed since the last pass.
std::uint64_t highlight_to_draw(const std::uint8_t* cells, std::int64_t cell_bytes) {
    std::uint64_t highlight = selection_highlight.load();
    if (highlight == 0) return 0;
    bool changed = cell_bytes != saved_cells_size || static_cast<std::int64_t>(highlight & 0xFFFFFFFFu) * 2 > cell_bytes;
    for (std::int64_t i = static_cast<std::int64_t>(highlight >> 32) * 2; !changed && i < cell_bytes; i += 2) {
        if (!highlight_covers(highlight, i / 2)) break;
        changed = cells[i] != saved_cells[i] || cells[i + 1] != saved_cells[i + 1];
    }
    if (changed && selection_highlight.compare_exchange_strong(highlight, 0)) highlight = 0;
    return changed ? 0 : highlight;
}

pass_result render_text_page(software_frame* frame, const screen_image* page, bool compare, std::int64_t now) {
    const std::int32_t columns = page->width;
    const std::int32_t rows = page->height;
    const std::int32_t w = page->font < 49 ? font_width[page->font] : 0;
    const std::int32_t h = page->font < 49 ? font_height[page->font] : 0;
    if (columns < 1 || rows < 1 || w < 1 || h < 1 || !page->cells) return pass_skipped;
    const std::int64_t cell_bytes = static_cast<std::int64_t>(columns) * rows * 2;

    const std::uint64_t highlight = highlight_to_draw(page->cells, cell_bytes);
    const std::int32_t blink = blink_enabled.load();
    if (blink != drawn.blink_enabled) compare = false;
    if (cell_bytes != saved_cells_size) {
        if (!saved_cells_reserve(cell_bytes)) return pass_failed;
        compare = false;
    }
    if (software_layer_position.load() == 0 && compare) return pass_skipped;

    const std::uint8_t* cells = page->cells;
    bool changed = false;
    if (!compare) {
        std::memcpy(render_palette, page_palette(page), sizeof render_palette);
    } else if (std::memcmp(render_palette, page_palette(page), sizeof render_palette) != 0) {
        std::memcpy(render_palette, page_palette(page), sizeof render_palette);
        compare = false;
    }
    if (compare && std::memcmp(cells, saved_cells, static_cast<std::size_t>(cell_bytes)) != 0) changed = true;

    // Blink phase and cursor.
    const bool phase = (now / blink_phase_ms) % 2 != 0;
    std::int32_t cursor_column = page->cursor_x - 1;
    std::int32_t cursor_row = page->cursor_y - 1;
    if (page->holding_cursor == cursor_held_at_locate && cursor_row < rows - 1) {
        cursor_column = 0;
        ++cursor_row;
    }
    const bool cursor_visible = page->cursor_visible != 0;
    const std::uint8_t cursor_start = page->cursor_start;
    const std::uint8_t cursor_stop = page->cursor_stop;
    const bool cursor_shown = cursor_visible && phase;
    const bool cursor_moved = cursor_column != drawn.cursor_column || cursor_row != drawn.cursor_row;
    const bool cursor_redraw = cursor_moved || cursor_shown != drawn.cursor_shown ||
                               (cursor_shown && (cursor_start != drawn.cursor_start || cursor_stop != drawn.cursor_stop));
    // Blinking cells change with the phase only while bit 7 means blink.
    const bool blink_redraw = blink == 1 && phase != drawn.blink_phase;
    if (cursor_visible || (blink == 1 && has_blinking_cell(cells, cell_bytes)))
        pass_blink_deadline = phase_end(now, blink_phase_ms);
    if (compare && !changed)
        changed = cursor_redraw || highlight != drawn.highlight ||
                  (blink_redraw && has_blinking_cell(saved_cells, cell_bytes));
    if (compare && !changed) return pass_skipped;

    const std::int64_t held = frame->width == columns * w && frame->height == rows * h ? frame->picture_order : 0;
    if (!frame_reserve(frame, columns * w, rows * h)) return pass_failed;
    frame->base_order = 0;
    if (compare) {
        const software_frame* previous = frame_newest_complete(frame);
        if (!previous) {
            alert_box("Text Screen Update: Failed to locate previous frame's data for comparison");
            compare = false;
        } else if (previous->width != frame->width || previous->height != frame->height) {
            compare = false;
        } else {
            copy_picture(frame, previous, held);
            frame->base_order = previous->order;
        }
    }
    std::int32_t first_row_drawn = rows, last_row_drawn = -1;
    std::int32_t first_column_drawn = columns, last_column_drawn = -1;

    std::int32_t cursor_first = 1, cursor_last = 0;   // none
    if (cursor_shown) cursor_rows(cursor_start, cursor_stop, h, cursor_first, cursor_last);

    if (!row_cells_reserve(columns)) return pass_failed;
    const glyph_source glyphs = glyphs_of_font(page->font);
    const bool glyphs_fit = glyphs.base && w == (glyphs.doubled ? 16 : 8);
    std::int64_t index = 0;
    for (std::int32_t y = 0; y < rows; ++y) {
        std::int32_t count = 0;
        std::uint32_t cursor_colour = 0;
        bool cursor_drawn = false;
        for (std::int32_t x = 0; x < columns; ++x, index += 2) {
            const std::uint8_t c = cells[index];
            const std::uint8_t a = cells[index + 1];
            const bool is_cursor = x == cursor_column && y == cursor_row;
            const bool selected = highlight_covers(highlight, index / 2);
            if (compare && c == saved_cells[index] && a == saved_cells[index + 1] && !(blink_redraw && (a & 0x80)) &&
                !(cursor_redraw && (is_cursor || (x == drawn.cursor_column && y == drawn.cursor_row))) &&
                selected == highlight_covers(drawn.highlight, index / 2))
                continue;
            saved_cells[index] = c;
            saved_cells[index + 1] = a;
            first_column_drawn = std::min(first_column_drawn, x);
            last_column_drawn = std::max(last_column_drawn, x);
            std::uint32_t foreground = a & 15u;
            std::uint32_t background = blink == 1 ? (a >> 4) & 7u : a >> 4;
            if (selected) std::swap(foreground, background);   // the selection shows inverted
            const bool blinked_away = blink == 1 && (a & 0x80) && phase;
            const std::uint32_t fg = render_palette[blinked_away ? background : foreground];
            row_cells[count++] = {glyphs_fit ? glyphs.base + static_cast<std::int32_t>(c) * glyphs.stride : nullptr,
                                  x * w, fg, fg ^ render_palette[background]};
            if (is_cursor) {
                cursor_drawn = true;
                cursor_colour = render_palette[foreground];
            }
        }
        std::uint32_t* out = frame->pixels + static_cast<std::int64_t>(y) * h * frame->width;
        if (count) {
            draw_row_cells(out, frame->width, w, h, glyphs, glyphs_fit, count);
            if (first_row_drawn > y) first_row_drawn = y;
            last_row_drawn = y;
        }
        // The cursor covers whole pixel rows of its cell in the cell's foreground colour.
        if (cursor_drawn)
            for (std::int32_t r = cursor_first; r <= cursor_last; ++r)
                fill_pixels(out + r * frame->width + cursor_column * w, w, cursor_colour);
    }

    drawn = {phase, cursor_column, cursor_row, cursor_shown, cursor_start, cursor_stop, blink, highlight};
    frame->changed_top = first_row_drawn * h;
    frame->changed_bottom = (last_row_drawn + 1) * h;
    frame->changed_left = first_column_drawn * w;
    frame->changed_right = (last_column_drawn + 1) * w;
    if (last_row_drawn < 0) frame->changed_top = frame->changed_bottom = frame->changed_left = frame->changed_right = 0;
    return pass_drawn;
}

// Graphics page of 1 to 8 bits a pixel (one index byte a pixel) or of 32 bits.
pass_result render_graphics_page(software_frame* frame, screen_image* page, bool compare, std::int64_t now) {
    const std::int32_t width = page->width;
    const std::int32_t height = page->height;
    if (width < 1 || height < 1 || !page->cells) return pass_skipped;
    const std::int64_t pixel_count = static_cast<std::int64_t>(width) * height;
    if (render_forced_refresh.load() != 0) compare = false;

    if (page->color_bits != 32 && (page->color_bits < 1 || page->color_bits > 8)) return pass_skipped;
    if (page->color_bits == 32) {
        const std::size_t bytes = static_cast<std::size_t>(pixel_count) * 4;
        if (compare) {
            const software_frame* previous = frame_newest_complete(frame);
            if (previous && previous->width == width && previous->height == height &&
                std::memcmp(previous->pixels, page->cells, bytes) == 0)
                return pass_skipped;
        }
        if (!frame_reserve(frame, width, height)) return pass_failed;
        std::memcpy(frame->pixels, page->cells, bytes);
        frame_drawn_whole(frame);
        return pass_drawn;
    }

    if (page->compat_mode == 10 && page->palette) {
        // Monochrome with blinking levels: entries 4 to 7 choose the levels of 0 to 3.
        const std::uint32_t blink_phase = (now >> mono_blink_shift) & 1;
        pass_blink_deadline = phase_end(now, std::int64_t{1} << mono_blink_shift);
        for (int i = 0; i < 4; ++i) {
            const std::uint32_t value = page->palette[4 + i];
            page->palette[i] = mono_blink_table[blink_phase * 9 + (value <= 8 ? value : 0)];
        }
    }
    const std::size_t palette_bytes = (std::size_t{1} << page->color_bits) * 4;
    if (pixel_count != saved_cells_size) {
        if (!saved_cells_reserve(pixel_count)) return pass_failed;
        compare = false;
    }
    if (compare && std::memcmp(render_palette, page_palette(page), palette_bytes) == 0 &&
        std::memcmp(saved_cells, page->cells, static_cast<std::size_t>(pixel_count)) == 0)
        return pass_skipped;
    if (!frame_reserve(frame, width, height)) return pass_failed;
    std::memcpy(render_palette, page_palette(page), palette_bytes);
    std::memcpy(saved_cells, page->cells, static_cast<std::size_t>(pixel_count));
    for (std::int64_t i = 0; i < pixel_count; ++i) frame->pixels[i] = render_palette[saved_cells[i]];
    frame_drawn_whole(frame);
    return pass_drawn;
}

// Held for a whole pass: the screen thread and the window thread both render
// (and the program thread, in render_now, while the screen is hidden).
pthread_mutex_t* const pass_lock = mutex_new();

void answer_pause_request() {
    int expected = render_pause_requested;
    if (render_pause.compare_exchange_strong(expected, render_paused)) {
        wake_signal_raise(program_thread_wake);
        sleep_ms(0);
    }
}

}  // namespace

std::int32_t select_glyph_drawing(std::int32_t level) {
#if defined(__x86_64__)
    if (level >= 2 && processor_has_avx2) {
        draw_cells = draw_cells_avx2<false>;
        draw_cells_doubled = draw_cells_avx2<true>;
        return 2;
    }
    if (level >= 1) {
        draw_cells = draw_cells_sse2<false>;
        draw_cells_doubled = draw_cells_sse2<true>;
        return 1;
    }
#endif
    draw_cells = draw_cells_portable<false>;
    draw_cells_doubled = draw_cells_portable<true>;
    return 0;
}

void render_software_frame() {
    mutex_lock(pass_lock);
    render_passes_begun.fetch_add(1);
    pass_blink_deadline = no_deadline;   // until the page shows something that blinks
    answer_pause_request();
    if (render_pause.load() == render_running) {
        software_frame* frame = frame_claim_for_writing();
        if (!frame) {
            alert_box("Software frame buffer: Failed to find available frame");
        } else {
            // Invalidations made while the pass runs stay for the next pass.
            const bool compare = frame_compare_valid.exchange(1) == 1;
            screen_image* page = display_page;
            pass_result result = pass_skipped;
            if (page) {
                const std::int64_t now = clock_ms();
                result = page->compat_mode == 0 ? render_text_page(frame, page, compare, now)
                                                : render_graphics_page(frame, page, compare, now);
            }
            if (result == pass_failed || (result == pass_skipped && !compare)) frame_compare_valid.store(0);
            render_blink_deadline.store(pass_blink_deadline);   // before the window thread hears of the frame
            frame_release_written(frame, result == pass_drawn);
        }
    }
    answer_pause_request();
    render_forced_refresh.store(0);
    int expected = screen_one_more_pass;
    const bool hidden_now = screen_shown.compare_exchange_strong(expected, screen_hidden);
    // Waiters for the end of a pass (render_now, END, INPUT on a hidden screen) are woken.
    render_passes_finished.fetch_add(1);
    render_blink_deadline.store(pass_blink_deadline);   // stored whole: no reader sees a pass's interim value
    mutex_unlock(pass_lock);
    if (pass_done.exchange(1) == 0 || hidden_now) wake_signal_raise(program_thread_wake);
}
