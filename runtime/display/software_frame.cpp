#include "runtime/display/software_frame.h"

#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"

software_frame software_frames[software_frame_count];

std::atomic<std::uint64_t> next_frame_order{1};
std::atomic<std::int64_t> latest_frame_order{0};
std::atomic<std::int32_t> render_pass_count{0};
std::atomic<std::int32_t> render_pause{0};
std::atomic<std::int32_t> frame_compare_valid{0};
std::atomic<std::int32_t> screen_shown{1};
std::atomic<std::int32_t> display_request{0};
std::atomic<std::int32_t> software_layer_position{1};
std::atomic<std::int32_t> blink_enabled{1};
std::atomic<std::int32_t> pass_done{0};

void render_pause_begin() {
    if (screen_shown.load() != 0 && program_started.load() != 0) {
        int expected = 0;
        render_pause.compare_exchange_strong(expected, 1);
        while (render_pause.load() != 2) sleep_ms(0);
    }
    frame_compare_valid.store(0);
}

void render_pause_end() { render_pause.store(0); }
