// Software frames: the display page rendered into 32-bit pixels by the
// screen thread, handed to the window thread through three frame records
// whose state words are claimed atomically.
#pragma once
#include <atomic>
#include <cstdint>

enum : std::int32_t {
    frame_free = 1,
    frame_being_written = 2,
    frame_ready = 3,
    frame_on_screen = 4,
};

struct software_frame {
    std::atomic<std::int32_t> state;
    std::int64_t order;
    std::uint32_t* pixels;   // 0xAARRGGBB, rows top to bottom
    std::int32_t width;
    std::int32_t height;
    std::int32_t capacity;   // bytes allocated for pixels
};

inline constexpr int software_frame_count = 3;
extern software_frame software_frames[software_frame_count];

extern std::atomic<std::uint64_t> next_frame_order;
extern std::atomic<std::int64_t> latest_frame_order;
extern std::atomic<std::int32_t> render_pass_count;
extern std::atomic<std::int32_t> render_pause;            // 0 running, 1 requested, 2 paused
extern std::atomic<std::int32_t> frame_compare_valid;
extern std::atomic<std::int32_t> screen_shown;            // 1 shown, 0 hidden, -1 one more pass
extern std::atomic<std::int32_t> display_request;         // 0 auto, -1 off, other: one pass now
extern std::atomic<std::int32_t> software_layer_position; // 1-4, 0 not shown
extern std::atomic<std::int32_t> blink_enabled;
extern std::atomic<std::int32_t> pass_done;

// Pause handshake for statements that change what the renderer reads
// (screen mode, font, page). Does not wait before the program has started
// or while the screen is hidden.
void render_pause_begin();
void render_pause_end();

// One rendering pass of the display page into a software frame (screen thread).
void render_software_frame();
