// The page list and the SCREEN statement.
//
// SCREEN 0 makes eight text pages whose cells live in the 65,536 bytes of
// video memory at 0xB8000 of the emulated memory (page p at 0xB8000 +
// p x page size); pages that do not fit there get memory of their own. A
// graphics mode makes page 0 at the mode's pixel size; further pages of any
// mode are made on demand as copies of page 0.
#include <cstdlib>
#include <cstring>

#include "runtime/core/emulated_memory.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/screen/render_pause.h"
#include "runtime/screen/screen_image.h"

std::int32_t display_page_slot = 0;
screen_image* display_page = nullptr;
std::int32_t write_page_slot = 0;
screen_image* write_page = nullptr;
std::int32_t source_image_slot = 0;
screen_image* source_image = nullptr;
std::int32_t active_page_number = 0;
std::int32_t allow_50_rows = 0;

std::int32_t next_text_columns = -1;
std::int32_t next_text_rows = -1;
std::int32_t next_text_font = -1;

namespace {

// Slot numbers by page number; 0 marks a page that does not exist yet.
std::int32_t* page_list = nullptr;
std::int32_t page_list_length = 0;
std::int32_t page_list_room = 0;
// A program image that SCREEN with an image handle put on screen as page 0;
// it stays the program's when the screen changes again.
std::int32_t screen_program_image = 0;

bool page_list_reserve(std::int32_t length) {
    if (length > page_list_room) {
        std::int32_t room = page_list_room ? page_list_room : 8;
        while (room < length) room = room > 0x3FFFFFFF ? length : 2 * room;
        auto* grown = static_cast<std::int32_t*>(std::realloc(page_list, room * sizeof *page_list));
        if (!grown) return false;
        page_list = grown;
        page_list_room = room;
    }
    if (length > page_list_length) {
        std::memset(page_list + page_list_length, 0, (length - page_list_length) * sizeof *page_list);
        page_list_length = length;
    }
    return true;
}

screen_image* first_page() { return page_list_length > 0 ? image_get(page_list[0]) : nullptr; }

struct text_geometry {
    std::int32_t columns, rows, font;
};

std::int32_t font_for_rows(std::int32_t rows) { return rows == 43 ? 14 : rows == 50 ? 8 : 16; }

// Columns, rows and font of the next text screen: the geometry request
// when there is one, else the size of the previous text page.
text_geometry choose_text_geometry(const screen_image* previous) {
    const std::int32_t old_columns = previous && previous->is_text ? previous->width : 0;
    const std::int32_t old_rows = previous && previous->is_text ? previous->height : 0;
    text_geometry g{80, 25, 16};
    if (next_text_columns != -1 && next_text_rows != -1 && next_text_font != -1) {
        g = {next_text_columns, next_text_rows, next_text_font};
    } else if (next_text_columns != -1 || next_text_rows != -1) {
        g.columns = next_text_columns != -1 ? next_text_columns : old_columns == 40 ? 40 : 80;
        g.rows = next_text_rows != -1 ? next_text_rows : old_rows == 43 || old_rows == 50 ? old_rows : 25;
        g.font = font_for_rows(g.rows) + (g.columns == 40 ? 1 : 0);
    } else if ((old_columns == 80 || old_columns == 40) && (old_rows == 50 || old_rows == 43)) {
        g = {old_columns, old_rows, old_columns == 40 ? 9 : 8};
    } else if (old_columns == 40 && old_rows == 25) {
        g = {40, 25, 17};
    }
    if (g.rows == 25 && (g.columns == 80 || g.columns == 40)) g.font = g.columns == 40 ? 17 : 16;
    next_text_columns = next_text_rows = next_text_font = -1;
    return g;
}

// Bytes a text page takes in video memory.
std::int32_t text_page_size(std::int32_t columns, std::int32_t rows) {
    if (rows == 25 && columns == 80) return 4096;
    if (rows == 25 && columns == 40) return 2048;
    return columns * rows * 2;
}

struct pixel_size {
    std::int32_t width, height;
};

pixel_size graphics_mode_size(std::int32_t mode) {
    switch (mode) {
        case 2:
        case 8: return {640, 200};
        case 9:
        case 10: return {640, 350};
        case 11:
        case 12: return {640, 480};
        default: return {320, 200};  // 1, 7, 13
    }
}

void set_page(std::int32_t page, std::int32_t slot) {
    page_list[page] = slot;
    if (screen_image* image = image_get(slot)) image->flags |= image_is_screen_page;
}

// Steps of a mode change that run while the renderer is paused: the old
// pages go, the new ones are made, and page 0 becomes the display page, the
// write page and the source image.
void rebuild_pages(std::int32_t mode) {
    screen_image* old_first = first_page();
    const bool text = mode == 0;
    const text_geometry geometry = text ? choose_text_geometry(old_first) : text_geometry{};

    for (std::int32_t p = 1; p < page_list_length; ++p) image_free(page_list[p]);
    if (page_list_length > 0 && page_list[0]) {
        if (page_list[0] == screen_program_image)
            old_first->flags &= ~image_is_screen_page;
        else
            image_free(page_list[0]);
    }
    screen_program_image = 0;
    page_list_length = 0;
    if (!page_list_reserve(8)) {
        raise_error(7);
    } else if (mode < 0) {
        screen_program_image = -mode;
        set_page(0, screen_program_image);
    } else if (!text) {
        const pixel_size size = graphics_mode_size(mode);
        set_page(0, image_new(size.width, size.height, mode));
    } else {
        std::uint8_t* video = emulated_address(video_memory_address);
        const std::int32_t page_size = text_page_size(geometry.columns, geometry.rows);
        const std::int32_t pages_in_video = page_size > 0 ? static_cast<std::int32_t>(video_memory_size) / page_size : 0;
        for (std::int32_t p = 0; p < 8; ++p) {
            const std::int32_t slot =
                p < pages_in_video
                    ? image_new_over_memory(video + p * page_size, geometry.columns, geometry.rows, 0)
                    : image_new(geometry.columns, geometry.rows, 0);
            if (screen_image* page = image_get(slot)) image_set_font(geometry.font, page);
            set_page(p, slot);
        }
        for (std::size_t i = 0; i < video_memory_size; i += 2) {
            video[i] = ' ';
            video[i + 1] = 7;
        }
    }
    if (page_list_length > 0 && !page_list[0]) raise_error(7);

    display_page_slot = write_page_slot = source_image_slot = page_list_length > 0 ? page_list[0] : 0;
    display_page = write_page = source_image = image_get(display_page_slot);
    active_page_number = 0;
    if (write_page) {
        write_page->draw_state_value = 0;
        write_page->draw_state_scale = 1.0;
    }
    // The function-key line would be redrawn here; it is off in this system.
}

void apply_default_colours(screen_image& page) {
    switch (page.compat_mode) {
        case 0: page.fg_color = 7; page.bg_color = 0; break;
        case 1:
        case 10: page.fg_color = 3; page.bg_color = 0; break;
        case 2:
        case 11: page.fg_color = 1; page.bg_color = 0; break;
        case 32: page.fg_color = 0xFFFFFFFF; page.bg_color = 0xFF000000; break;
        default: page.fg_color = 15; page.bg_color = 0; break;
    }
}

bool is_screen_mode(std::int32_t mode) { return mode == 0 || mode == 1 || mode == 2 || (mode >= 7 && mode <= 13); }

}  // namespace

std::int32_t page_count() { return page_list_length; }

std::int32_t page_slot(std::int32_t page) { return page >= 0 && page < page_list_length ? page_list[page] : 0; }

std::int32_t page_get_or_create(std::int32_t page) {
    if (page < 0 || page == 0x7FFFFFFF || !page_list_reserve(page + 1)) return 0;
    if (page_list[page]) return page_list[page];
    const screen_image* first = first_page();
    if (!first) return 0;
    const std::int32_t slot = image_new(first->width, first->height, first->compat_mode);
    screen_image* image = image_get(slot);
    if (!image) return 0;
    image_set_font(static_cast<std::int32_t>(first->font), image);
    if (image->flags & image_owns_palette) std::free(image->palette);
    image->palette = first->palette;
    image->flags &= ~image_owns_palette;
    set_page(page, slot);
    return slot;
}

void screen_set_mode(std::int32_t mode, std::int32_t color_switch, std::int32_t active_page,
                     std::int32_t visual_page, std::int32_t fifth, std::int32_t presence) {
    const wake_on_exit page_changed{screen_thread_wake};
    (void)color_switch;  // text mode ignores the colour switch and the fifth argument
    (void)fifth;
    if (pending_error.load() != 0) return;
    const bool mode_given = presence & 1, active_given = presence & 4, visual_given = presence & 8;
    if (mode_given && mode >= 0 && !is_screen_mode(mode)) return raise_error(5);
    if (mode_given && mode < 0) {
        // A handle names a program image; the screen's own pages are not handles.
        const screen_image* image = mode == INT32_MIN ? nullptr : image_get(-mode);
        if (!image || ((image->flags & image_is_screen_page) && -mode != screen_program_image))
            return raise_error(258);
    }
    if ((active_given && active_page < 0) || (visual_given && visual_page < 0)) return raise_error(5);
    if (!(mode_given && mode == 0 && presence == 1)) allow_50_rows = 0;

    const screen_image* first = first_page();
    const std::int32_t current_mode = screen_program_image ? -screen_program_image : first ? first->compat_mode : 0;
    const std::int32_t target_mode = mode_given ? mode : current_mode;
    const bool geometry_requested = next_text_columns != -1 || next_text_rows != -1 || next_text_font != -1;
    const bool mode_changes = !first || target_mode != current_mode || geometry_requested;

    if (mode_changes) {
        render_pause_begin();
        rebuild_pages(target_mode);
    } else if (active_given || visual_given) {
        frame_compare_valid.store(0);
    }

    if (active_given) {
        const std::int32_t slot = page_get_or_create(active_page);
        if (screen_image* page = image_get(slot)) {
            write_page_slot = source_image_slot = slot;
            write_page = source_image = page;
            active_page_number = active_page;
            apply_default_colours(*page);
            image_view_reset(*page);
            if (page->cursor_y > image_text_rows(*page)) page->cursor_y = 1;
        } else {
            raise_error(7);
        }
    }
    if (visual_given) {
        const std::int32_t slot = page_get_or_create(visual_page);
        if (screen_image* page = image_get(slot)) {
            if (slot != display_page_slot) {
                display_page_slot = slot;
                display_page = page;
            }
        } else {
            raise_error(7);
        }
    }
    if (mode_changes) render_pause_end();
}

void text_screen_resize(std::int32_t columns, std::int32_t rows, std::int32_t font, std::int32_t kept_bytes) {
    const wake_on_exit page_changed{screen_thread_wake};
    static std::uint8_t kept[video_memory_size];
    std::uint8_t* video = emulated_address(video_memory_address);
    if (kept_bytes < 0) kept_bytes = 0;
    if (kept_bytes > static_cast<std::int32_t>(video_memory_size)) kept_bytes = video_memory_size;
    std::memcpy(kept, video, kept_bytes);
    const std::uint32_t fg = write_page ? write_page->fg_color : 7;
    const std::uint32_t bg = write_page ? write_page->bg_color : 0;

    allow_50_rows = 0;
    next_text_columns = columns;
    next_text_rows = rows;
    next_text_font = font;
    render_pause_begin();
    rebuild_pages(0);
    std::memcpy(video, kept, kept_bytes);
    if (write_page) {
        write_page->fg_color = fg;
        write_page->bg_color = bg;
    }
    render_pause_end();
}
