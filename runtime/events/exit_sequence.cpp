#include "runtime/events/exit_sequence.h"

#include "runtime/core/program_end.h"
#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/errors/tinyfiledialogs.h"

namespace {
constexpr std::uint32_t all_threads_stopped = 3;   // the program thread parked, the timer thread ended
}

void exit_sequence() {
    exit_in_progress.store(1);
    pending_event.store(1);   // after exit_in_progress: the woken program thread sees it and parks
    wake_signal_raise(program_thread_wake);
    wake_signal_raise(timer_thread_wake);
    // A message box the program thread waits in ends as if answered "No",
    // so that the thread gets to park (or, after a critical error's box, to
    // end the process itself); none is shown from now on.
    message_boxes_abandon();
    wait_on(screen_thread_wake, [] { return stopped_threads.load() == all_threads_stopped; }, no_deadline,
            exit_watch::ignored);
    // No file or device is ever open in this system, so there is nothing to close.
    runtime_exit(exit_status);
}
