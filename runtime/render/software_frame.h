// Software frames: the display page rendered into 32-bit pixels by the
// screen thread, handed to the window thread through three frame records
// whose states are claimed under one short lock (the scan of the three
// records and the state change), so the two threads never claim the same
// frame. Pixels are written only in state 2 and read only in states 3 and 4.
//
// A frame drawn onto a copy of an earlier one names that frame (base_order)
// and the pixels it redrew (rows, and columns within them), so that
// presentation can upload and show only those when the base is what it
// shows, and the renderer, bringing a frame up to the newest picture, can
// copy only the rows redrawn since the picture the frame still holds.
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
    std::int64_t order;      // written only while the claim lock is held
    std::uint32_t* pixels;   // 0xAARRGGBB, rows top to bottom
    std::int32_t width;
    std::int32_t height;
    std::int32_t capacity;   // bytes allocated for pixels
    std::int64_t base_order;                       // the frame it was drawn onto a copy of; 0: drawn whole
    std::int64_t picture_order;                    // the order of the complete picture in pixels; 0: none
    std::int32_t changed_top, changed_bottom;      // pixel rows redrawn: top included, bottom not
    std::int32_t changed_left, changed_right;      // pixel columns of those rows redrawn, the same way
};

inline constexpr int software_frame_count = 3;
// The renderer writes a frame it claimed, the window thread reads the one on
// screen; states change under the claim lock (see above).
extern software_frame software_frames[software_frame_count];

// Frame orders: taken (next_frame_order, also read by the program thread for
// hardware graphics commands) and published (latest_frame_order, read by the
// window thread) by the renderer under the claim lock.
extern std::atomic<std::uint64_t> next_frame_order;
extern std::atomic<std::int64_t> latest_frame_order;
// Passes run, counted by the screen thread and by the window thread's blink passes.
extern std::atomic<std::int32_t> render_pass_count;
// After each pass: the clock_ms at which the blink phase next changes what
// the page shows (the cursor, a blinking cell), or no_deadline when nothing
// on it blinks. Stored by the renderer under its pass lock; read by the
// screen and window threads.
extern std::atomic<std::int64_t> render_blink_deadline;
// The next blink flip while automatic display shows the page: render_blink_deadline,
// or no_deadline while the screen is hidden or automatic display is off.
std::int64_t blink_flip_deadline();
// Set by the window's event loop when it takes over: from then on the window
// thread renders the blink flips (blink_pass_when_due, at the deadline of its
// rest) and the screen thread only the rest.
extern std::atomic<bool> blink_passes_on_window_thread;
// A pass when the blink flip is due, unless a render pause or the exit runs.
void blink_pass_when_due();
// The program's request for passes (program thread writes, screen thread
// reads and turns a one-pass request into display_off): automatic passes,
// none, or any other value for one pass now.
enum : std::int32_t { display_automatic = 0, display_off = -1, display_one_pass = 1 };
extern std::atomic<std::int32_t> display_request;
// Settings for the program thread to change (no statement here does): read
// by the renderer, the layer position also by the window thread.
extern std::atomic<std::int32_t> software_layer_position; // 1-4, 0 not shown
extern std::atomic<std::int32_t> blink_enabled;
// Set to 1 at the end of every pass; a waiter for the end of a pass (the
// program thread) sets it to 0 to be woken then.
extern std::atomic<std::int32_t> pass_done;
// Rendering passes begun and finished since start. Passes run one after the
// other, so a wait for a pass that begins after some change takes
// render_passes_begun as its mark and ends when render_passes_finished
// exceeds it (a pass under way at the change may not have seen it). Counted
// by the renderer under its pass lock; read by the program thread.
extern std::atomic<std::uint64_t> render_passes_begun;
extern std::atomic<std::uint64_t> render_passes_finished;
// Set by the window thread when the window's presentation changes (full
// screen, smoothing); makes the next pass redraw a graphics page.
extern std::atomic<std::int32_t> render_forced_refresh;
// Passes that drew a frame (made it ready), since start. Counted by the
// renderer under the claim lock; read by the window, screen and program threads.
extern std::atomic<std::int64_t> frames_drawn;
// Set by the window thread after each presentation of a new frame:
// frames_drawn as of the frame now on screen, and the keys stored in the
// keyboard buffer by then. Read by END on the program thread.
extern std::atomic<std::int64_t> frames_presented;
extern std::atomic<std::uint32_t> keys_stored_when_presented;
// Set to 1 by a program thread that waits for a presentation (END): the
// next presentation of a new frame clears it and wakes the program thread.
extern std::atomic<std::int32_t> presentation_awaited;

// Hardware graphics commands issued since start (counted by the program
// thread as it issues them): a pass that sees new ones wakes the window thread.
extern std::atomic<std::uint64_t> hgc_issued;

// What the last pass drew, kept by the renderer (under its pass lock).
extern std::uint8_t* saved_cells;          // cell (or pixel index) bytes of the display page
extern std::int64_t saved_cells_size;      // bytes
extern std::uint32_t render_palette[256];  // the page palette as last drawn

// Start-up: every frame free, order 0, no pixels, size and capacity 0.
void software_frames_reset();

// Brings the screen up to date now: waits for the screen thread's next pass
// (the program thread parks when the exit begins meanwhile), or renders on
// the calling thread when the screen is hidden.
void render_now();

// Frame claims. The renderer takes a frame for writing: the last free frame
// by index, else the oldest ready frame; sets state 2 and the next order.
// Null when no frame qualifies.
software_frame* frame_claim_for_writing();
// The renderer gives a frame back: ready (drawn, its picture complete) or
// free (nothing drawn, the pixels as they were);
// either way latest_frame_order becomes its order. The window thread is
// woken for a drawn frame, and for a new order while hardware graphics
// commands have been issued since the last time.
void frame_release_written(software_frame* frame, bool drawn);
// The newest frame in state 3 or 4 other than except (null when none).
software_frame* frame_newest_complete(const software_frame* except);
// The window thread takes the frame to show: the newest ready frame newer
// than the one on screen goes on screen and every older ready or shown
// frame is freed. Returns the frame on screen (null before the first frame)
// and sets *is_new when it changed.
software_frame* frame_claim_for_display(bool* is_new);
