#include "runtime/core/end_statement.h"

#include "runtime/console/print.h"
#include "runtime/console/screen_image.h"
#include "runtime/core/console_terminal.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/core/window.h"
#include "runtime/display/software_frame.h"
#include "runtime/errors/event_check.h"
#include "runtime/input/console_stdin.h"
#include "runtime/input/keyboard.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/strings/str_desc.h"

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
// before the window thread has presented a frame drawn after the prompt,
// and before END has waited 15 ms (INPUT takes Enter at once, and the rest
// of a burst typed with it may arrive after the prompt was presented). The
// first key after both ends END's wait. Without a presentation within
// 100 ms, the keys stored until then are discarded.
void discard_keys_until_prompt_seen() {
    pass_done.store(0);
    wake_signal_raise(screen_thread_wake);
    const std::int64_t start = clock_ms();
    std::int64_t prompt_frame = -1;   // frames_drawn once a pass has drawn the prompt
    bool presented = false;
    for (;;) {
        const std::uint32_t seen = wake_signal_seen(program_thread_wake);
        const std::uint32_t stored = keyboard_buffer_stored.load();   // before the tests below
        const std::int64_t now = clock_ms();
        if (prompt_frame < 0 && pass_done.load() == 1) prompt_frame = frames_drawn.load();
        const bool presented_before = presented;
        presented = prompt_frame >= 0 && frames_presented.load() >= prompt_frame;
        if (presented && now >= start + 15) {
            // Presented only now: the keys stored up to the presentation go.
            discard_keys_up_to(presented_before ? stored : keys_stored_when_presented.load());
            return;
        }
        discard_keys_up_to(stored);
        if (now >= start + 100 || exit_in_progress.load() != 0) return;
        const std::int64_t until = presented ? start + 15 : start + 100;
        wake_signal_wait(program_thread_wake, seen, static_cast<std::uint32_t>(until - now));
    }
}

void press_any_key() {
    write_page_slot = display_page_slot;
    write_page = display_page;
    const std::int32_t rows = image_text_rows(*write_page);
    view_print(rows, rows, 1);   // the last row alone; the cursor goes to its start
    print_string(permanent_empty_string, 1);   // clears it in the current colours
    static const char prompt[] = "Press any key to continue";
    str_desc* text = str_from_literal(prompt, sizeof prompt - 1);
    print_string(text, 0);
    str_free(text);
    if (write_page->is_console) {
        // A terminal waits for a key; a pipe, or input that has ended, does not.
        console_wait_for_key();
        console_terminal_restore();   // the terminal's colours back before the last line end
        print_string(permanent_empty_string, 1);
        return;
    }

    screen_shown.store(1);
    paste_drop();   // the rest of a long paste must not answer the prompt
    discard_keys_until_prompt_seen();
    // A stored key or the exit wakes the wait; it looks again every 100 ms regardless.
    for (;;) {
        const std::uint32_t seen = wake_signal_seen(program_thread_wake);
        if (exit_in_progress.load() != 0) park_program_thread();
        if (key_taken()) return;
        wake_signal_wait(program_thread_wake, seen, 100);
    }
}

}  // namespace

void end_statement() {
    // Open files and devices would be closed here; this run-time has none.
    close_handled_by_program.store(0);   // from now on the close button ends the process
    if (window_hidden.load() == 0 && display_page) press_any_key();
    stop_requested.store(1);
    park_program_thread();
}
