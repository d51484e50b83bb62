// How the window follows the frame (in whole steps of the frame's size):
// its size policy and the Alt+Enter cycle of full-screen modes.
#include "runtime/window/window_policy.h"

#include <cstdlib>

#include "runtime/core/wake_signal.h"
#include "runtime/render/software_frame.h"
#include "runtime/window/presentation.h"
#include "runtime/window/window_zoom.h"

std::int32_t window_width = 640, window_height = 400;
std::int32_t previous_window_width = 640, previous_window_height = 400;
std::int32_t policy_frame_width = 640, policy_frame_height = 400;
float frame_aspect = 1.6f;
float accepted_aspect = 1.6f;
std::int32_t reshape_pending = 1;
std::int32_t follow_frame_size = 1;
std::int32_t resize_scaling = 0;

std::atomic<std::int32_t> fullscreen_mode{0};
std::atomic<std::int32_t> fullscreen_request{-1};
std::atomic<std::int32_t> fullscreen_smooth{0};
std::atomic<std::int32_t> fullscreen_allowed_mode{0};
std::atomic<std::int32_t> fullscreen_allowed_smooth{0};

bool window_policy(std::int32_t frame_width, std::int32_t frame_height, std::int32_t& new_width,
                   std::int32_t& new_height) {
    const bool frame_size_changed = frame_width != policy_frame_width || frame_height != policy_frame_height;
    policy_frame_width = frame_width;
    policy_frame_height = frame_height;
    frame_aspect = static_cast<float>(frame_width) / static_cast<float>(frame_height);

    if (resize_scaling != 0 && window_width > 0 && window_height > 0) {
        const float window_aspect = static_cast<float>(window_width) / static_cast<float>(window_height);
        if (window_aspect != accepted_aspect && window_aspect != frame_aspect) {
            // Give the window the frame's aspect, keeping the side the user changed.
            const std::int32_t width_change = std::abs(window_width - previous_window_width);
            const std::int32_t height_change = std::abs(window_height - previous_window_height);
            bool keep_height;
            if (width_change == 0 || height_change == 0)
                keep_height = width_change == 0 && height_change != 0;
            else
                keep_height = height_change >= width_change;
            if (keep_height) {
                new_height = window_height;
                new_width = static_cast<std::int32_t>(frame_aspect * static_cast<float>(window_height));
            } else {
                new_width = window_width;
                new_height = static_cast<std::int32_t>(static_cast<float>(window_width) / frame_aspect);
            }
            if (new_width < 1) new_width = 1;
            if (new_height < 1) new_height = 1;
            accepted_aspect = static_cast<float>(new_width) / static_cast<float>(new_height);
            reshape_pending = 1;
            return true;
        }
    }
    if (follow_frame_size != 1 && !frame_size_changed) return false;
    // The window is the zoom times the frame. One that the user resized
    // settles on the nearest whole step, which becomes the zoom; a new frame
    // size keeps the zoom, lowered when the window would not fit.
    const bool resized_by_user = follow_frame_size == 1 && !frame_size_changed && reshape_pending == 0;
    if (resized_by_user && (window_width != window_zoom * frame_width || window_height != window_zoom * frame_height))
        window_zoom = zoom_settled(window_width, window_height, frame_width, frame_height);
    window_zoom = zoom_fitting(window_zoom, frame_width, frame_height);
    if (window_width == window_zoom * frame_width && window_height == window_zoom * frame_height) return false;
    new_width = window_zoom * frame_width;
    new_height = window_zoom * frame_height;
    reshape_pending = 1;
    return true;
}

namespace {

struct fullscreen_state {
    std::int32_t mode, smooth;
};
// Windowed, stretched, stretched smooth, square pixels, square pixels smooth.
constexpr fullscreen_state fullscreen_states[5] = {{0, 0}, {1, 0}, {1, 1}, {2, 0}, {2, 1}};

}  // namespace

void fullscreen_alt_enter_cycle() {
    const std::int32_t request = fullscreen_request.load();
    const std::int32_t mode = request != -1 ? request : fullscreen_mode.load();
    const std::int32_t smooth = fullscreen_smooth.load() != 0;
    int state = 0;
    for (int i = 1; i < 5; ++i)
        if (fullscreen_states[i].mode == mode && fullscreen_states[i].smooth == smooth) state = i;

    const std::int32_t allowed_mode = fullscreen_allowed_mode.load();
    const std::int32_t allowed_smooth = fullscreen_allowed_smooth.load();
    for (;;) {
        state = (state + 1) % 5;
        const fullscreen_state& next = fullscreen_states[state];
        if (state == 0) break;
        if (allowed_mode > 0 && allowed_mode != next.mode) continue;
        if (allowed_smooth == 1 && next.smooth == 0) continue;
        if (allowed_smooth == -1 && next.smooth == 1) continue;
        break;
    }
    fullscreen_smooth.store(fullscreen_states[state].smooth);
    // A request still pending from an earlier press gives way to this one.
    const std::int32_t accepted = fullscreen_states[state].mode;
    fullscreen_request.store(accepted != fullscreen_mode.load() ? accepted : -1);
    redraw_needed = 1;   // a change of smoothing alone shows at once too
    render_forced_refresh.store(1);
    wake_signal_raise(screen_thread_wake);
}
