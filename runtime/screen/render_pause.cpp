#include "runtime/screen/render_pause.h"

#include "runtime/core/process_state.h"
#include "runtime/core/program_end.h"
#include "runtime/core/wake_signal.h"

std::atomic<std::int32_t> render_pause{render_running};
std::atomic<std::int32_t> frame_compare_valid{0};
std::atomic<std::int32_t> screen_shown{screen_visible};

void render_pause_begin() {
    if (screen_shown.load() != screen_hidden && program_started.load() != 0) {
        int expected = render_running;
        render_pause.compare_exchange_strong(expected, render_pause_requested);
        wake_signal_raise(screen_thread_wake);
        // The screen thread, which runs the exit, renders no more once it has begun.
        if (wait_on(program_thread_wake, [] { return render_pause.load() == render_paused; }) == wait_end::exit)
            park_program_thread();
    }
    frame_compare_valid.store(0);
}

void render_pause_end() {
    render_pause.store(render_running);
    wake_signal_raise(screen_thread_wake);
}
