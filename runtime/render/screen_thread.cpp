// The screen thread: renders the display page when it changes, when the
// blink phase flips while something on it blinks, and when a statement asks
// for a pass or a render pause; starts the end of the process when the
// program or the close button asks for it. Between these it sleeps.
//
// Once the window's event loop runs, the window thread renders the blink
// flips itself (blink_pass_when_due) at the deadline of its own rest, and
// presents them in the same turn: a flip wakes one thread, not two.
//
// A change is rendered at once, but no sooner than 16 ms after the last pass
// that gave the window something new for a change (a frame, or hardware
// graphics commands), so a program that prints without pause gets no more
// than one frame per 16 ms; a change that showed nothing (a page not on
// screen) holds the next one back only a millisecond, and a blink pass not
// at all.
#include "runtime/render/screen_thread.h"

#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/threads.h"
#include "runtime/core/wake_signal.h"
#include "runtime/events/exit_sequence.h"
#include "runtime/render/frame_renderer.h"
#include "runtime/render/software_frame.h"
#include "runtime/screen/render_pause.h"

namespace {

constexpr std::int64_t frame_spacing_ms = 16;

std::int64_t next_change_pass = 0;   // clock_ms before which a change waits
std::uint64_t commands_passed = 0;   // hgc_issued at the last pass
// The wake-up generation when the last pass began: a raise since then may
// be a change that no pass has seen.
std::uint32_t handled_generation = 0;

bool change_pending() { return wake_signal_seen(screen_thread_wake) != handled_generation; }

bool end_asked() {
    return stop_requested.load() != 0 || (close_request.load() != 0 && close_handled_by_program.load() == 0);
}

bool one_pass_asked() {
    const std::int32_t request = display_request.load();
    return request != display_automatic && request != display_off;
}

bool work_waiting() {
    return end_asked() || render_pause.load() == render_pause_requested || one_pass_asked() ||
           (screen_shown.load() != screen_hidden && change_pending());
}

// The next blink flip this thread renders.
std::int64_t blink_deadline() { return blink_passes_on_window_thread.load() ? no_deadline : blink_flip_deadline(); }

// One pass; true when it gave the window something new.
bool pass() {
    handled_generation = wake_signal_seen(screen_thread_wake);
    const std::int64_t frames = frames_drawn.load();
    const std::uint64_t commands = hgc_issued.load();
    const std::int64_t flip = render_blink_deadline.load();
    if (screen_shown.load() != screen_hidden) render_software_frame();
    render_pass_count.fetch_add(1);
    // The window thread rests until the flip it knows of: a pass that moved
    // it (the cursor shown, the page changed) tells it.
    if (blink_passes_on_window_thread.load() && render_blink_deadline.load() != flip) window_thread_request_pass();
    const bool shown = frames_drawn.load() != frames || commands != commands_passed;
    commands_passed = commands;
    return shown;
}

}  // namespace

void screen_thread(void*) {
    thread_name_set("screen");
    handled_generation = wake_signal_seen(screen_thread_wake) - 1;   // the first frame
    for (;;) {
        wait_on(screen_thread_wake, work_waiting, blink_deadline(), exit_watch::ignored);
        if (end_asked()) exit_sequence();
        const std::int32_t request = display_request.load();
        if (request == display_off) {   // automatic display switched off: changes wait for a request
            handled_generation = wake_signal_seen(screen_thread_wake);
            if (render_pause.load() == render_pause_requested) pass();   // answered; draws nothing
            continue;
        }
        if (request != display_automatic) {
            display_request.store(display_off);   // one pass now; automatic display stays off
        } else if (change_pending() && render_pause.load() != render_pause_requested) {
            // More changes meanwhile only add to this one: sleep through their wake-ups.
            const std::int64_t now = clock_ms();
            if (now < next_change_pass) sleep_ms(static_cast<std::uint32_t>(next_change_pass - now));
            const bool shown = pass();
            next_change_pass = clock_ms() + (shown ? frame_spacing_ms : 1);
            continue;
        }
        pass();   // a request, or the blink
    }
}
