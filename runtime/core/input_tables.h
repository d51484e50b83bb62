// The input tables: input devices, the ON KEY traps, the ON TIMER timers and
// the mouse input queues. Start-up fills the parts described here; the
// statements that use the rest (devices, traps, timers, mouse functions) are
// not part of this system.
#pragma once
#include <atomic>
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

struct on_key_trap {   // 40 bytes
    std::uint8_t in_use;
    std::uint8_t mode;         // 0 off, 1 on, 2 stopped
    std::uint8_t busy;         // the handler is running
    std::int32_t id;           // non-zero once a handler is set
    std::int32_t waiting;      // key presses not yet handled
    std::int32_t key_code;     // the key the trap watches
    std::int32_t second_code;  // the matching keypad key of an arrow, or 0
    std::int32_t key_flags;    // shift state a user-defined key needs
    std::int64_t handler;
};
static_assert(sizeof(on_key_trap) == 40);

inline constexpr int on_key_trap_count = 32;   // index 0 unused
extern on_key_trap on_key_traps[on_key_trap_count];

struct timer_record {   // 40 bytes
    std::uint8_t in_use;
    std::int32_t id;                   // non-zero once a handler is set
    std::int64_t handler;
    std::uint8_t mode;                 // 0 off, 1 on, 2 stopped
    std::atomic<std::uint8_t> pending; // 0 idle, 1 due, 2 running
    double interval;                   // seconds
    double last;                       // time of the last expiry in seconds; 0 = not started
};
static_assert(sizeof(timer_record) == 40);

extern timer_record* timer_table;
extern std::int32_t timer_count;

// One queue of mouse events (12-byte records) in the mouse_input_queues list.
struct mouse_input_queue {   // 32 bytes
    std::uint8_t* events;
    std::int64_t last_index;
    std::int64_t head;
    std::int64_t tail;
};
static_assert(sizeof(mouse_input_queue) == 32);

extern std::int64_t current_mouse_queue;

// Start-up: mouse input queue 1 (after the handle lists), the ON KEY key
// codes and timer record 0, the keyboard and mouse devices.
void mouse_queue_startup();
void trap_tables_startup();
void devices_startup();
