#include "runtime/core/end_statement.h"

#include "runtime/console/print.h"
#include "runtime/console/screen_image.h"
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/core/window.h"
#include "runtime/display/software_frame.h"
#include "runtime/errors/event_check.h"
#include "runtime/input/keyboard.h"
#include "runtime/strings/str_desc.h"

namespace {

// Takes one key from the keyboard buffer; true when there was one.
bool key_taken() {
    const std::uint32_t mark = temp_mark();
    const bool taken = inkey()->len != 0;
    temp_cleanup(mark, 0);
    return taken;
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

    screen_shown.store(1);
    // Keys typed before the prompt could be seen do not count: those stored
    // now and those that come until the next rendering pass has drawn the
    // prompt (keys typed in one burst with the last Enter arrive meanwhile),
    // or for at most 100 ms.
    pass_done.store(0);
    wake_signal_raise(screen_thread_wake);
    const std::int64_t settled = clock_ms() + 100;
    for (;;) {
        const std::uint32_t seen = wake_signal_seen(program_thread_wake);
        const std::int64_t now = clock_ms();
        const bool drawn = pass_done.load() == 1 || now >= settled || exit_in_progress.load() != 0;
        while (key_taken()) {   // after the test: keys stored before the prompt was drawn go too
        }
        if (drawn) break;
        wake_signal_wait(program_thread_wake, seen, static_cast<std::uint32_t>(settled - now));
    }
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
