#include "runtime/lists/input_devices.h"

#include <cstdlib>

#include "runtime/lists/handle_list.h"

device_record device_table[device_table_size];
std::int32_t device_count = 0;
handle_list* mouse_input_queues = nullptr;
std::int64_t current_mouse_queue = 0;

namespace {

constexpr std::int64_t mouse_queue_events = 65536;
constexpr std::size_t mouse_event_bytes = 12;

void fill_device(int index, std::int32_t kind, const char* description, const char* name, std::int32_t buttons,
                 std::int32_t axes, std::int32_t wheels) {
    device_record& device = device_table[index];
    device.kind = kind;
    device.description = description;
    device.name = name;
    device.buttons = buttons;
    device.axes = axes;
    device.wheels = wheels;
    device.state_size = (buttons + 4 * (axes + wheels) + 15) / 8 * 8;
    device.state_buffer = static_cast<std::uint8_t*>(std::calloc(2, static_cast<std::size_t>(device.state_size)));
    device.state_slots[0] = device.state_buffer;
    device.state_slots[1] = device.state_buffer ? device.state_buffer + device.state_size : nullptr;
    device.present = 1;
}

}  // namespace

void mouse_queues_startup() {
    mouse_input_queues = list_new(mouse_input_queue_record_size);
    current_mouse_queue = list_add(mouse_input_queues);
    auto* queue = static_cast<mouse_input_queue*>(list_get(mouse_input_queues, current_mouse_queue));
    if (!queue) return;
    queue->events = static_cast<std::uint8_t*>(std::calloc(mouse_queue_events, mouse_event_bytes));
    queue->last_index = queue->events ? mouse_queue_events - 1 : 0;
}

void devices_startup() {
    fill_device(1, 2, "[KEYBOARD][BUTTON]", "Keyboard", 512, 0, 0);
    fill_device(2, 3, "[MOUSE][BUTTON][AXIS][WHEEL]", "Mouse", 3, 2, 3);
    device_count = 2;
}
