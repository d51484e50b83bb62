// The screen thread: about every 16 ms it keeps the BIOS tick and the
// retrace flags, renders every second iteration, and starts the end of the
// process when the program or the close button asks for it.
#include "runtime/core/program_end.h"
#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/timing.h"
#include "runtime/display/software_frame.h"

namespace {

void render_step() {
    if (screen_shown.load() != 0) render_software_frame();
    render_pass_count.fetch_add(1);
}

}  // namespace

void screen_thread(void*) {
    bool render_this_time = false;
    for (;;) {
        if (close_request.load() != 0 && close_handled_by_program.load() == 0) exit_sequence();
        bios_tick_update();

        const std::int32_t request = display_request.load();
        if (request == -1) {   // automatic display switched off
            sleep_ms(64);
            continue;
        }
        if (request != 0) {    // one pass now; automatic display stays off
            display_request.store(-1);
            render_step();
            in_retrace.store(0);
            continue;
        }

        sleep_ms(15);
        retrace_latch.store(1);
        in_retrace.store(1);
        sleep_ms(1);
        if (stop_requested.load() != 0) exit_sequence();
        render_this_time = !render_this_time;
        if (render_this_time) render_step();
        in_retrace.store(0);
    }
}
