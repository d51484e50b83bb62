// The input devices and the mouse input queues. Start-up makes the keyboard
// and mouse devices and mouse input queue 1; the device and mouse statements
// that read them are not part of this system.
#pragma once
#include <cstdint>

struct device_record {
    std::int32_t present;
    std::int32_t kind;          // 2 keyboard, 3 mouse
    const char* description;    // "[KEYBOARD][BUTTON]", ...
    const char* name;
    std::int32_t buttons, axes, wheels;
    std::int32_t state_size;    // bytes of one state record
    std::uint8_t* state_buffer; // two state records
    std::uint8_t* state_slots[2];
};

inline constexpr int device_table_size = 1001;   // index 0 unused
extern device_record device_table[device_table_size];
extern std::int32_t device_count;

struct handle_list;

// A queue of mouse events (12-byte records), a record of mouse_input_queues.
struct mouse_input_queue {
    std::uint8_t* events;
    std::int64_t last_index;
    std::int64_t head;
    std::int64_t tail;
};
inline constexpr std::int64_t mouse_input_queue_record_size = 32;
static_assert(sizeof(mouse_input_queue) <= mouse_input_queue_record_size);

extern handle_list* mouse_input_queues;
extern std::int64_t current_mouse_queue;

// Start-up: the mouse input queue list with queue 1, current and empty.
void mouse_queues_startup();
// Start-up: device 1 the keyboard, device 2 the mouse.
void devices_startup();
