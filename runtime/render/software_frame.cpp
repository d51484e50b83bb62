#include "runtime/render/software_frame.h"

#include <cstdlib>

#include "runtime/core/program_end.h"
#include "runtime/core/threads.h"
#include "runtime/core/wake_signal.h"
#include "runtime/render/frame_renderer.h"
#include "runtime/screen/render_pause.h"

// Free from static initialisation on; start-up resets them again.
software_frame software_frames[software_frame_count] = {
    {{frame_free}, 0, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {{frame_free}, 0, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {{frame_free}, 0, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0}};

std::atomic<std::uint64_t> next_frame_order{1};
std::atomic<std::int64_t> latest_frame_order{0};
std::atomic<std::int32_t> render_pass_count{0};
std::atomic<std::int64_t> render_blink_deadline{no_deadline};
std::atomic<std::int32_t> display_request{display_automatic};
std::atomic<std::int32_t> software_layer_position{1};
std::atomic<std::int32_t> blink_enabled{1};
std::atomic<std::int32_t> pass_done{0};
std::atomic<std::uint64_t> render_passes_begun{0};
std::atomic<std::uint64_t> render_passes_finished{0};
std::atomic<std::int32_t> render_forced_refresh{0};
std::atomic<std::int64_t> frames_drawn{0};
std::atomic<std::int64_t> frames_presented{0};
std::atomic<std::uint32_t> keys_stored_when_presented{0};
std::atomic<std::int32_t> presentation_awaited{0};
std::atomic<std::uint64_t> hgc_issued{0};

std::uint8_t* saved_cells = nullptr;
std::int64_t saved_cells_size = 0;
std::uint32_t render_palette[256];

namespace {

// Held only for the scan of the three records and the state change.
pthread_mutex_t* const frame_claim_lock = mutex_new();

}  // namespace

void software_frames_reset() {
    for (software_frame& frame : software_frames) {
        std::free(frame.pixels);
        frame.state.store(frame_free);
        frame.order = 0;
        frame.pixels = nullptr;
        frame.width = 0;
        frame.height = 0;
        frame.capacity = 0;
        frame.base_order = frame.picture_order = 0;
        frame.changed_top = frame.changed_bottom = frame.changed_left = frame.changed_right = 0;
    }
}

void render_now() {
    if (screen_shown.load() == screen_hidden) return render_software_frame();
    const std::uint64_t requested = render_passes_begun.load();
    wake_signal_raise(screen_thread_wake);
    const auto pass_finished = [requested] {
        pass_done.store(0);   // the end of the next pass wakes the wait
        return render_passes_finished.load() > requested;
    };
    if (wait_on(program_thread_wake, pass_finished) == wait_end::exit) park_program_thread();
}

software_frame* frame_claim_for_writing() {
    mutex_lock(frame_claim_lock);
    const auto next = static_cast<std::int64_t>(next_frame_order.load());
    software_frame* chosen = nullptr;
    // The oldest ready frame that the window thread has not shown yet...
    for (software_frame& frame : software_frames) {
        if (frame.state.load() == frame_ready && frame.order < next && (!chosen || frame.order < chosen->order))
            chosen = &frame;
    }
    // ...is overwritten only when no frame is free.
    for (software_frame& frame : software_frames) {
        if (frame.state.load() == frame_free) chosen = &frame;
    }
    if (chosen) {
        chosen->state.store(frame_being_written);
        chosen->order = static_cast<std::int64_t>(next_frame_order.fetch_add(1));
    }
    mutex_unlock(frame_claim_lock);
    return chosen;
}

void frame_release_written(software_frame* frame, bool drawn) {
    mutex_lock(frame_claim_lock);
    // Counted before the window thread can take it: a presentation never
    // records one frame too few.
    if (drawn) {
        frames_drawn.fetch_add(1);
        frame->picture_order = frame->order;
    }
    frame->state.store(drawn ? frame_ready : frame_free);
    latest_frame_order.store(frame->order);
    mutex_unlock(frame_claim_lock);
    static std::uint64_t commands_seen = 0;   // hgc_issued at the last wake-up for them (pass lock held)
    const std::uint64_t commands = hgc_issued.load();
    if (drawn || commands != commands_seen) wake_signal_raise(window_thread_wake);
    commands_seen = commands;
}

software_frame* frame_newest_complete(const software_frame* except) {
    mutex_lock(frame_claim_lock);
    software_frame* newest = nullptr;
    for (software_frame& frame : software_frames) {
        const std::int32_t state = frame.state.load();
        if (&frame != except && (state == frame_ready || state == frame_on_screen) &&
            (!newest || frame.order > newest->order))
            newest = &frame;
    }
    mutex_unlock(frame_claim_lock);
    return newest;
}

software_frame* frame_claim_for_display(bool* is_new) {
    mutex_lock(frame_claim_lock);
    software_frame* shown = nullptr;
    for (software_frame& frame : software_frames) {
        if (frame.state.load() == frame_on_screen) shown = &frame;
    }
    const std::int64_t shown_order = shown ? shown->order : 0;
    software_frame* newest = nullptr;
    for (software_frame& frame : software_frames) {
        if (frame.state.load() == frame_ready && frame.order > shown_order &&
            (!newest || frame.order > newest->order))
            newest = &frame;
    }
    *is_new = newest != nullptr;
    if (newest) {
        for (software_frame& frame : software_frames) {
            const std::int32_t state = frame.state.load();
            if ((state == frame_ready || state == frame_on_screen) && frame.order < newest->order)
                frame.state.store(frame_free);
        }
        newest->state.store(frame_on_screen);
        shown = newest;
    }
    mutex_unlock(frame_claim_lock);
    return shown;
}

std::atomic<bool> blink_passes_on_window_thread{false};

std::int64_t blink_flip_deadline() {
    return screen_shown.load() != screen_hidden && display_request.load() == display_automatic ? render_blink_deadline.load() : no_deadline;
}

void blink_pass_when_due() {
    // Once the exit has begun no pass runs; a pause leaves the page alone.
    if (exit_in_progress.load() != 0 || render_pause.load() != render_running || clock_ms() < blink_flip_deadline()) return;
    render_software_frame();
    render_pass_count.fetch_add(1);
}
