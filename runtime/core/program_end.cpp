#include "runtime/core/program_end.h"

#include <cstdlib>
#include <unistd.h>

#include "runtime/core/wake_signal.h"

std::atomic<std::uint8_t> stop_requested{0};
std::atomic<std::uint8_t> exit_in_progress{0};
std::atomic<std::uint32_t> stopped_threads{0};
std::atomic<std::uint32_t> close_request{0};
std::atomic<std::int32_t> close_handled_by_program{0};
std::int32_t exit_status = 0;
process_end_hooks process_end{nullptr, nullptr};

std::int32_t exit_query() {
    close_handled_by_program.store(1);
    return static_cast<std::int32_t>(close_request.exchange(0));
}

void park_program_thread() {
    stopped_threads.fetch_or(1);
    wake_signal_raise(screen_thread_wake);   // the exit sequence may be waiting for this
    wake_signal_raise(window_thread_wake);   // and the window thread for the end of a pause
    if (process_end.exit_sequence_on_park && exit_in_progress.load() == 0) process_end.exit_sequence_on_park();
    for (;;) pause();   // the exit sequence ends the process
}

void runtime_exit(std::int32_t status) {
    if (process_end.exit_through_window) process_end.exit_through_window(status);
    std::exit(status);
}
