#include "runtime/input/input_line.h"

#include "runtime/core/program_end.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/input/input_targets.h"
#include "runtime/input/keyboard.h"
#include "runtime/render/software_frame.h"
#include "runtime/screen/page_copy.h"
#include "runtime/screen/print.h"
#include "runtime/screen/render_pause.h"
#include "runtime/screen/screen_image.h"
#include "runtime/strings/str_desc.h"

void (*console_input_line_reader)(std::int32_t, std::int8_t) = nullptr;

namespace {

// The working state of one INPUT.
struct input_state {
    std::int32_t target_count;
    bool whole_line;                  // LINE INPUT: commas and quotes are ordinary characters
    str_desc* line;                   // the text typed so far
    std::int32_t page_slot;           // the write page
    screen_image* page;
    std::int32_t snapshot_slot;       // the page as it was when INPUT began
    std::int32_t scratch_slot;        // where the line is reprinted
    std::int16_t start_x, start_y;    // the cursor when INPUT began
    std::uint8_t start_holding;
};

// Walks the pieces of the line, one per target: a comma outside quotes ends
// a piece; a piece that starts with a double quote runs to the next one,
// after which only a comma may follow. Checks each piece (store false) or
// stores each (store true). Returns the number of pieces, or -1 when the
// line is unacceptable. Storing a string piece can move the line's text: it
// is read anew for every piece.
std::int32_t walk_pieces(const input_state& state, bool store) {
    const std::int32_t length = state.line->len;
    std::int32_t pos = 0;
    for (std::int32_t index = 1;; ++index) {
        const std::uint8_t* const text = state.line->text;
        std::int32_t start = pos, end = length, next = -1;   // next: where the following piece starts
        if (!state.whole_line && pos < length && text[pos] == '"') {
            start = pos + 1;
            for (std::int32_t i = start; i < length; ++i)
                if (text[i] == '"') {
                    end = i;
                    break;
                }
            if (end + 1 < length) {
                if (text[end + 1] != ',') return -1;
                next = end + 2;
            }
        } else if (!state.whole_line) {
            for (std::int32_t i = pos; i < length; ++i)
                if (text[i] == ',') {
                    end = i;
                    next = i + 1;
                    break;
                }
        }
        if (store) {
            if (end > start) input_piece_store(index, state.line, start, end - start);
            else input_target_reset(index);   // nothing typed for it: its start value
        } else if (!input_piece_acceptable(index, text + start, end - start)) return -1;
        if (next < 0) return index;
        if (index == state.target_count) return -1;   // a piece beyond the targets
        pos = next;
    }
}

// Stores the pieces of an acceptable line; targets without a piece get their
// start value again. False when the line is unacceptable.
bool line_validate_and_store(const input_state& state) {
    if (walk_pieces(state, false) < 0) return false;
    const std::int32_t pieces = walk_pieces(state, true);
    for (std::int32_t index = pieces + 1; index <= state.target_count; ++index) input_target_reset(index);
    return true;
}

void print_character(std::uint8_t c) {
    str_desc* text = str_from_literal(&c, 1);
    print_string(text, 0);
    str_free(text);
}

void make_write_page(std::int32_t slot, screen_image* page) {
    write_page_slot = slot;
    write_page = page;
}

// Shortens the line by its last character and redraws: the screen as it was
// when INPUT began, with the rest of the line printed anew on a scratch page,
// so that the result is exactly that of typing it (scrolling included).
void take_back_last_character(input_state& state) {
    str_assign(state.line, str_left(state.line, state.line->len - 1));
    screen_image* scratch = image_get(state.scratch_slot);
    page_copy_cells(*image_get(state.snapshot_slot), *scratch);
    scratch->cursor_x = state.start_x;
    scratch->cursor_y = state.start_y;
    scratch->holding_cursor = state.start_holding;
    make_write_page(state.scratch_slot, scratch);
    for (std::int32_t i = 0; i < state.line->len; ++i) print_character(state.line->text[i]);
    make_write_page(state.page_slot, state.page);
    page_copy_cells(*scratch, *state.page);
    state.page->cursor_x = scratch->cursor_x;
    state.page->cursor_y = scratch->cursor_y;
    state.page->holding_cursor = scratch->holding_cursor;
}

void append_character(input_state& state, std::uint8_t c) {
    str_assign(state.line, str_concat(state.line, str_chr(c)));
    print_character(c);
}

// Waits for a key that is a single character (extended keys are two and are
// ignored). False when the process starts to exit meanwhile. A stored key
// or the exit wakes the wait.
bool wait_for_character(std::uint8_t& key) {
    const auto character_taken = [&key] {
        const std::uint32_t mark = temp_mark();
        const str_desc* pressed = inkey();
        const bool single = pressed->len == 1;
        if (single) key = pressed->text[0];
        temp_cleanup(mark, 0);
        return single;
    };
    return wait_on(program_thread_wake, character_taken) == wait_end::condition;
}

}  // namespace

void input_line(std::int32_t target_count, std::int8_t newline) {
    if (pending_error.load() != 0) return;
    if (target_count < 1 || target_count > input_target_capacity() || !write_page) {
        raise_error(5);
        return;
    }
    if (write_page->is_console) {
        if (console_input_line_reader) console_input_line_reader(target_count, newline);
        return;
    }

    const std::int32_t saved_screen_shown = screen_shown.exchange(screen_visible);
    const std::int32_t saved_source_slot = source_image_slot;
    screen_image* const saved_source = source_image;
    source_image_slot = write_page_slot;
    source_image = write_page;

    input_state state{};
    state.target_count = target_count;
    state.page_slot = write_page_slot;
    state.page = write_page;
    state.snapshot_slot = page_copy_new(*state.page);
    if (!state.snapshot_slot) raise_error(516);   // critical: does not return
    state.scratch_slot = page_copy_new(*state.page);
    if (!state.scratch_slot) raise_error(517);
    state.start_x = state.page->cursor_x;
    state.start_y = state.page->cursor_y;
    state.start_holding = state.page->holding_cursor;
    const std::uint32_t first_type = input_target_type(1);
    state.whole_line = (first_type & input_type_string) && (first_type & input_type_line_input);

    const std::uint8_t saved_cursor_visible = state.page->cursor_visible;
    state.page->cursor_visible = 1;
    wake_signal_raise(screen_thread_wake);
    for (std::int32_t index = 1; index <= target_count; ++index) input_target_start(index);

    state.line = str_new(0, 0);
    const std::uint32_t mark = temp_mark();
    std::int32_t tab_spaces = 0;
    for (;;) {
        if (!line_validate_and_store(state)) {
            take_back_last_character(state);
            temp_cleanup(mark, 0);
            continue;
        }
        std::uint8_t key = ' ';
        if (tab_spaces > 0) --tab_spaces;
        else if (!wait_for_character(key)) return;   // the process is ending
        if (key == 13) break;
        switch (key) {
            case 8:
                if (state.line->len > 0) take_back_last_character(state);
                break;
            case 9: tab_spaces = 8 - (state.line->len & 7); break;
            case 7: print_character(7); break;   // the bell; the line is unchanged
            case 10: case 11: case 12: case 28: case 29: case 30: case 31: break;
            default: append_character(state, key); break;
        }
        temp_cleanup(mark, 0);
    }

    if (newline) print_string(permanent_empty_string, 1);
    str_free(state.line);
    state.page->cursor_visible = saved_cursor_visible;
    wake_signal_raise(screen_thread_wake);
    image_free(state.snapshot_slot);
    image_free(state.scratch_slot);
    if (saved_screen_shown == 0) {
        // The screen was hidden: let the renderer draw this last state once.
        screen_shown.store(screen_one_more_pass);
        wake_signal_raise(screen_thread_wake);
        wait_on(program_thread_wake, [] { return screen_shown.load() == screen_hidden; });
    }
    source_image_slot = saved_source_slot;
    source_image = saved_source;
}
