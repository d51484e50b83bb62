// Placeholder callbacks until presentation lands; the state is final.
#include "runtime/display/presentation.h"

std::int32_t software_screen_hardware_frame = 0;
std::int64_t presented_order = 0;
std::int32_t window_width = 640, window_height = 400;
std::int32_t previous_window_width = 640, previous_window_height = 400;
std::int32_t policy_frame_width = 640, policy_frame_height = 400;
float frame_aspect = 1.6f;
float accepted_aspect = 1.6f;
std::int32_t reshape_pending = 1;
std::int32_t redraw_needed = 0;
std::int32_t follow_frame_size = 1;
std::int32_t resize_scaling = 0;
std::atomic<std::int32_t> window_resized{0};
std::atomic<std::int32_t> reported_window_width{640}, reported_window_height{400};

std::atomic<std::int32_t> fullscreen_mode{0};
std::atomic<std::int32_t> fullscreen_request{-1};
std::atomic<std::int32_t> fullscreen_smooth{0};
std::atomic<std::int32_t> fullscreen_allowed_mode{0};
std::atomic<std::int32_t> fullscreen_allowed_smooth{0};

std::atomic<std::int32_t> hardware_layer_position{2};
std::atomic<std::int32_t> reserved_layer_position{3};
std::atomic<std::int32_t> second_hardware_layer_position{4};

void display_callback() {}
void reshape_callback(int, int) {}
