// What the pages ask of the renderer, which reads them from the screen
// thread without a lock: a pause while a statement changes what it reads,
// and whether it draws at all.
#pragma once
#include <atomic>
#include <cstdint>

// The pause handshake: requested by the program thread, answered by the
// thread that renders, released by the program thread.
enum : std::int32_t { render_running = 0, render_pause_requested = 1, render_paused = 2 };
extern std::atomic<std::int32_t> render_pause;
// 0 makes the renderer's next pass draw the whole page instead of comparing
// it with the cells it last drew. Cleared by the program thread, set by the renderer.
extern std::atomic<std::int32_t> frame_compare_valid;
// Whether the renderer makes frames. Written by the program thread (and
// start-up); read by the screen and window threads; the renderer turns
// screen_one_more_pass into screen_hidden after its pass.
enum : std::int32_t { screen_hidden = 0, screen_visible = 1, screen_one_more_pass = -1 };
extern std::atomic<std::int32_t> screen_shown;

// Pause handshake for statements that change what the renderer reads
// (screen mode, font, page). Does not wait before the program has started
// or while the screen is hidden. The screen thread is woken to answer, and
// to draw the changed page at the end; once the exit has begun it answers
// no more, and the program thread parks.
void render_pause_begin();
void render_pause_end();
