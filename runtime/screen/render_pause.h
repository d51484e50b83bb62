// What the pages ask of the renderer, which reads them from the screen
// thread without a lock: a pause while a statement changes what it reads,
// and whether it draws at all.
#pragma once
#include <atomic>
#include <cstdint>

// The pause handshake: 0 running, 1 requested (program thread), 2 paused
// (the renderer's answer, from the thread that renders).
extern std::atomic<std::int32_t> render_pause;
// 0 makes the renderer's next pass draw the whole page instead of comparing
// it with the cells it last drew. Cleared by the program thread, set by the renderer.
extern std::atomic<std::int32_t> frame_compare_valid;
// 1 shown, 0 hidden (the renderer makes no frames), -1 one more pass.
// Written by the program thread (and start-up), read by the screen and window threads.
extern std::atomic<std::int32_t> screen_shown;

// Pause handshake for statements that change what the renderer reads
// (screen mode, font, page). Does not wait before the program has started
// or while the screen is hidden. The screen thread is woken to answer, and
// to draw the changed page at the end; once the exit has begun it answers
// no more, and the program thread parks.
void render_pause_begin();
void render_pause_end();
