// The screen thread: about every 16 ms it keeps the BIOS tick and the
// retrace flags, makes a counted rendering pass every second iteration (the
// count drives the blink), and starts the end of the process when the
// program or the close button asks for it.
//
// It does not wait for the next counted pass to show a change: a change to
// the page wakes its pacing wait, and it renders at once. No change is
// rendered sooner than 16 ms after the last frame that showed one (a counted
// pass then only counts), so a program that prints without pause gets no
// more than one frame per 16 ms; a frame that only blinks does not hold a
// change back. The extra passes do not count toward the blink.
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/timing.h"
#include "runtime/core/wake_signal.h"
#include "runtime/display/software_frame.h"

namespace {

constexpr std::int64_t frame_spacing_ms = 16;

std::int64_t last_change_time = 0;   // clock_ms of the last frame drawn for a change
// The wake-up generation when the last pass began: a raise since then may
// be a change that no pass has seen.
std::uint32_t rendered_generation = 0;

bool change_pending() { return wake_signal_seen(screen_thread_wake) != rendered_generation; }

void pass(bool counted) {
    const bool change = change_pending();
    if (counted && change && clock_ms() < last_change_time + frame_spacing_ms && render_pause.load() != 1) {
        render_pass_count.fetch_add(1);   // the change waits for its spacing
        return;
    }
    rendered_generation = wake_signal_seen(screen_thread_wake);
    const std::int64_t drawn_before = frames_drawn.load();
    if (screen_shown.load() != 0) render_software_frame();
    if (change && frames_drawn.load() != drawn_before) last_change_time = clock_ms();
    if (counted) render_pass_count.fetch_add(1);
}

bool end_asked() {
    return stop_requested.load() != 0 || (close_request.load() != 0 && close_handled_by_program.load() == 0);
}

// The pacing wait of one iteration, until the clock reads until. A wake-up
// (a change, a request) is answered by an extra pass as soon as the frame
// spacing allows, and one millisecond after an extra pass that drew nothing
// (wake-ups that change nothing visible do not keep it busy); a pause
// request at once. Returns early when the end of the program is asked for.
void pace_until(std::int64_t until) {
    std::int64_t last_extra_pass = -1;
    for (;;) {
        if (end_asked()) return;
        if (render_pause.load() == 1) pass(false);   // answered at once; draws nothing
        const bool change = change_pending();
        const std::int64_t now = clock_ms();
        std::int64_t next_pass = last_change_time + frame_spacing_ms;
        if (next_pass <= last_extra_pass) next_pass = last_extra_pass + 1;
        if (change && now >= next_pass) {
            last_extra_pass = now;
            pass(false);
            continue;
        }
        if (now >= until) return;
        if (change) {
            // More changes only add to this one: sleep through their wake-ups.
            sleep_ms(static_cast<std::uint32_t>((next_pass < until ? next_pass : until) - now));
        } else {
            wake_signal_wait(screen_thread_wake, rendered_generation, static_cast<std::uint32_t>(until - now));
        }
    }
}

}  // namespace

void screen_thread(void*) {
    bool render_this_time = false;
    for (;;) {
        if (close_request.load() != 0 && close_handled_by_program.load() == 0) exit_sequence();
        bios_tick_update();

        const std::int32_t request = display_request.load();
        if (request == -1) {   // automatic display switched off
            const std::uint32_t seen = wake_signal_seen(screen_thread_wake);
            if (render_pause.load() == 1) pass(false);
            // Page changes wake it too, for nothing: at most once a millisecond.
            if (wake_signal_wait(screen_thread_wake, seen, 64)) sleep_ms(1);
            continue;
        }
        if (request != 0) {    // one pass now; automatic display stays off
            display_request.store(-1);
            pass(false);   // at once, whatever the spacing
            render_pass_count.fetch_add(1);
            in_retrace.store(0);
            continue;
        }

        pace_until(clock_ms() + 15);
        retrace_latch.store(1);
        in_retrace.store(1);
        sleep_ms(1);
        if (stop_requested.load() != 0) exit_sequence();
        render_this_time = !render_this_time;
        if (render_this_time) pass(true);
        in_retrace.store(0);
    }
}
