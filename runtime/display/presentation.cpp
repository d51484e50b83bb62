// Placeholder callbacks until presentation lands; the state is final.
#include "runtime/display/presentation.h"

std::int32_t software_screen_hardware_frame = 0;
std::int64_t presented_order = 0;
std::int32_t redraw_needed = 0;
std::atomic<std::int32_t> window_resized{0};
std::atomic<std::int32_t> reported_window_width{640}, reported_window_height{400};
std::atomic<std::int32_t> hardware_layer_position{2};
std::atomic<std::int32_t> reserved_layer_position{3};
std::atomic<std::int32_t> second_hardware_layer_position{4};

void display_callback() {}
void reshape_callback(int, int) {}
