// LOCATE and VIEW PRINT: the cursor, its shape and the scrolling region of
// the write page.
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/fonts/fonts.h"
#include "runtime/screen/console_image.h"
#include "runtime/screen/screen_image.h"

namespace {

std::int32_t text_columns(const screen_image& page) {
    if (page.is_text) return page.width;
    const std::int32_t cell_width = page.font < 49 ? font_width[page.font] : 0;
    return cell_width > 0 ? page.width / cell_width : page.width;
}

void set_cursor_shape(screen_image& page, std::int32_t visible, std::int32_t start, std::int32_t stop,
                      std::int32_t presence) {
    if (presence & 4) page.cursor_visible = static_cast<std::uint8_t>(visible);
    if (presence & 8) page.cursor_start = static_cast<std::uint8_t>(start);
    if (presence & 16) page.cursor_stop = static_cast<std::uint8_t>(stop);
}

}  // namespace

void locate(std::int32_t row, std::int32_t column, std::int32_t cursor_visible, std::int32_t cursor_start,
            std::int32_t cursor_stop, std::int32_t presence) {
    const wake_on_exit page_changed{screen_thread_wake};
    if (pending_error.load() != 0 || !write_page) return;
    const bool row_given = presence & 1, column_given = presence & 2;
    if (write_page->is_console) {
        if (row_given && column_given) console_move(row, column);
        return;
    }

    const std::int32_t columns = text_columns(*write_page);
    const bool column_bad = column_given && (column < 1 || column > columns);
    bool switch_to_50_rows = false;
    if (row_given) {
        if (row < write_page->view_top) return raise_error(5);
        if (row > write_page->view_bottom && row != image_text_rows(*write_page)) {
            // Once after start-up, a row beyond the screen may switch it to 80 x 50.
            if (!allow_50_rows) return raise_error(5);
            allow_50_rows = 0;
            if (row > 50 || column_bad) return raise_error(5);
            switch_to_50_rows = true;
        }
    }
    if (column_bad) return raise_error(5);
    if ((presence & 4) && cursor_visible != 0 && cursor_visible != 1) return raise_error(5);
    if ((presence & 8) && (cursor_start < 0 || cursor_start > 31)) return raise_error(5);
    if ((presence & 16) && (cursor_stop < 0 || cursor_stop > 31)) return raise_error(5);

    if (switch_to_50_rows) {
        const std::int16_t kept_column = write_page->cursor_x;
        text_screen_resize(80, 50, 8, 4000);
        if (!write_page) return;
        write_page->cursor_x = kept_column;
    }
    screen_image& page = *write_page;
    if (row_given) page.cursor_y = static_cast<std::int16_t>(row);
    if (column_given) page.cursor_x = static_cast<std::int16_t>(column);
    if (row_given || column_given)
        page.holding_cursor = cursor_not_held;
    else if (page.holding_cursor)
        page.holding_cursor = cursor_held_at_locate;

    set_cursor_shape(page, cursor_visible, cursor_start, cursor_stop, presence);
    if (page.flags & image_is_screen_page)
        for (std::int32_t p = 0; p < page_count(); ++p)
            if (screen_image* other = image_get(page_slot(p)))
                set_cursor_shape(*other, cursor_visible, cursor_start, cursor_stop, presence);
}

void view_print(std::int32_t top, std::int32_t bottom, std::int32_t presence) {
    const wake_on_exit page_changed{screen_thread_wake};
    if (pending_error.load() != 0 || !write_page || write_page->is_console) return;
    screen_image& page = *write_page;
    if (presence & 1) {
        if (top < 1 || top > bottom || bottom > image_text_rows(page)) return raise_error(5);
        page.view_top = static_cast<std::int16_t>(top);
        page.view_bottom = static_cast<std::int16_t>(bottom);
    } else {
        image_view_reset(page);
    }
    page.cursor_x = 1;
    page.cursor_y = page.view_top;
    page.holding_cursor = cursor_not_held;
}
