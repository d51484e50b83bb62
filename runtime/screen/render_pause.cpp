#include "runtime/screen/render_pause.h"

#include "runtime/core/process_state.h"
#include "runtime/core/program_end.h"
#include "runtime/core/wake_signal.h"

std::atomic<std::int32_t> render_pause{0};
std::atomic<std::int32_t> frame_compare_valid{0};
std::atomic<std::int32_t> screen_shown{1};

void render_pause_begin() {
    if (screen_shown.load() != 0 && program_started.load() != 0) {
        int expected = 0;
        render_pause.compare_exchange_strong(expected, 1);
        wake_signal_raise(screen_thread_wake);
        // The screen thread, which runs the exit, renders no more once it has begun.
        if (wait_on(program_thread_wake, [] { return render_pause.load() == 2; }) == wait_end::exit)
            park_program_thread();
    }
    frame_compare_valid.store(0);
}

void render_pause_end() {
    render_pause.store(0);
    wake_signal_raise(screen_thread_wake);
}
