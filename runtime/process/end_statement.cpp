#include "runtime/process/end_statement.h"

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/events/event_check.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/render/software_frame.h"
#include "runtime/screen/print.h"
#include "runtime/screen/render_pause.h"
#include "runtime/screen/screen_image.h"
#include "runtime/strings/str_desc.h"
#include "runtime/terminal/console_stdin.h"
#include "runtime/terminal/console_terminal.h"
#include "runtime/window/window.h"

namespace {

// Takes one key from the keyboard buffer; true when there was one.
bool key_taken() {
    const std::uint32_t mark = temp_mark();
    const bool taken = inkey()->len != 0;
    temp_cleanup(mark, 0);
    return taken;
}

// Takes keys until the one numbered last has gone.
void discard_keys_up_to(std::uint32_t last) {
    while (static_cast<std::int32_t>(last - keyboard_buffer_taken.load()) > 0 && key_taken()) {
    }
}

// Keys typed before the prompt could be seen do not count: every key stored
// before the window thread has presented a frame drawn by a pass that began
// after the prompt was written (a pass under way may have missed it), and
// before END has waited 15 ms (INPUT takes Enter at once, and the rest of a
// burst typed with it may arrive after the prompt was presented). The first
// key after both ends END's wait. Without a presentation within 100 ms, the
// keys stored until then are discarded.
void discard_keys_until_prompt_seen() {
    const std::uint64_t prompt_written = render_passes_begun.load();
    wake_signal_raise(screen_thread_wake);
    const std::int64_t start = clock_ms();
    std::int64_t prompt_frame = -1;   // frames_drawn once a pass has drawn the prompt
    const auto prompt_presented = [&] {
        pass_done.store(0);   // the end of the next pass, and the next presentation, wake the wait
        presentation_awaited.store(1);
        const std::uint32_t stored = keyboard_buffer_stored.load();   // before the tests below
        if (prompt_frame < 0 && render_passes_finished.load() > prompt_written) prompt_frame = frames_drawn.load();
        if (prompt_frame >= 0 && frames_presented.load() >= prompt_frame) return true;
        discard_keys_up_to(stored);
        return false;
    };
    if (wait_on(program_thread_wake, prompt_presented, start + 100) != wait_end::condition) {
        discard_keys_up_to(keyboard_buffer_stored.load());
        return;
    }
    if (clock_ms() >= start + 15) {   // presented only now: the keys stored up to the presentation go
        discard_keys_up_to(keys_stored_when_presented.load());
        return;
    }
    const auto keys_discarded = [] {
        discard_keys_up_to(keyboard_buffer_stored.load());
        return false;
    };
    wait_on(program_thread_wake, keys_discarded, start + 15);
    discard_keys_up_to(keyboard_buffer_stored.load());
}

void press_any_key() {
    write_page_slot = display_page_slot;
    write_page = display_page;
    const std::int32_t rows = image_text_rows(*write_page);
    view_print(rows, rows, 1);   // the last row alone; the cursor goes to its start
    print_string(permanent_empty_string, 1);   // clears it in the current colours
    static const char prompt[] = "Press any key to continue";
    str_desc* text = str_from_literal(prompt, sizeof prompt - 1);
    if (write_page->is_console) console_key_wait_begin();
    print_string(text, 0);
    str_free(text);
    if (write_page->is_console) {
        // A terminal waits for a key; a pipe, or input that has ended, does not.
        console_wait_for_key();
        console_terminal_restore();   // the terminal's colours back before the last line end
        print_string(permanent_empty_string, 1);
        return;
    }

    screen_shown.store(screen_visible);
    paste_drop();   // the rest of a long paste must not answer the prompt
    discard_keys_until_prompt_seen();
    // A stored key or the exit wakes the wait.
    if (wait_on(program_thread_wake, [] { return exit_in_progress.load() == 0 && key_taken(); }) != wait_end::condition)
        park_program_thread();
}

}  // namespace

void end_statement() {
    // Open files and devices would be closed here; this run-time has none.
    close_handled_by_program.store(0);   // from now on the close button ends the process
    if (window_hidden.load() == 0 && display_page) press_any_key();
    stop_requested.store(1);
    park_program_thread();
}
