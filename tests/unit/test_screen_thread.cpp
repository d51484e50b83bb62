// The screen thread on the test clock, which moves only when the test (or
// the thread's own sleeps) advance it: it sleeps while nothing changes and
// nothing blinks, renders a change as soon as it is made, draws the cursor's
// blink at each flip of the phase and nothing between, and gives a page
// that changes without pause no more than one frame per 16 ms.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/core/sleep.h"
#include "runtime/core/wake_signal.h"
#include "runtime/process/startup.h"
#include "runtime/render/screen_thread.h"
#include "runtime/render/software_frame.h"
#include "tests/unit/console_screen.h"

namespace {

using namespace std::chrono_literals;

// Advances the test clock a millisecond at a time until done() holds; false
// after 5 s of real time.
template <typename Condition>
bool advance_until(Condition done) {
    for (const auto deadline = std::chrono::steady_clock::now() + 5s; !done(); std::this_thread::sleep_for(200us)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        manual_clock_advance(1);
    }
    return true;
}

// Waits (real time, the test clock standing still) until done() holds, at most 5 s.
template <typename Condition>
bool soon(Condition done) {
    for (int waited = 0; waited < 5000 && !done(); ++waited) std::this_thread::sleep_for(1ms);
    return done();
}

TEST(ScreenThread, SleepsUntilAChangeOrABlinkFlipAndDrawsNoMoreThanOneFramePer16Ms) {
    strings_startup();
    fresh_text_screen();
    software_frames_reset();
    write_page->cursor_visible = 0;
    manual_clock_start(1000000, 0);
    std::thread(screen_thread, nullptr).detach();   // runs until the process ends
    auto resting = [] { return soon([] { return screen_thread_wake.waiters.load() > 0; }); };
    // The first frame at once; then nothing blinks, and the thread sleeps
    // however far the clock moves.
    ASSERT_TRUE(resting());
    EXPECT_EQ(frames_drawn.load(), 1);
    const std::int32_t passes = render_pass_count.load();
    manual_clock_advance(10000);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(render_pass_count.load(), passes);

    // A change: a frame follows at once, also right after a change that
    // showed nothing (which holds it back a millisecond, not a frame's 16).
    const std::uint64_t passes_done = render_passes_finished.load();
    wake_signal_raise(screen_thread_wake);
    ASSERT_TRUE(soon([&] { return render_passes_finished.load() > passes_done; }));
    const std::int64_t changed_at = clock_ms();
    print_raw("A");
    EXPECT_TRUE(soon([] { return frames_drawn.load() == 2; }));
    EXPECT_LE(clock_ms() - changed_at, 1);

    // The cursor shown: one frame at each flip of the 256 ms phase.
    auto cursor_shown = [&](bool visible) {
        const std::uint64_t passes_before = render_passes_finished.load();
        write_page->cursor_visible = visible;
        wake_signal_raise(screen_thread_wake);
        return soon([&] { return render_passes_finished.load() > passes_before; }) && resting();
    };
    ASSERT_TRUE(cursor_shown(true));
    const std::int64_t blinking_from = frames_drawn.load(), flips_from = clock_ms();
    ASSERT_TRUE(advance_until([&] { return clock_ms() >= flips_from + 4 * 256; }));
    soon([&] { return frames_drawn.load() >= blinking_from + 4; });
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(frames_drawn.load() - blinking_from, 4);
    ASSERT_TRUE(cursor_shown(false));

    // A program that prints without pause.
    std::atomic<bool> printing{true};
    std::thread printer([&] {
        while (printing) print_raw("x");
    });
    const std::int64_t start = clock_ms(), frames_before = frames_drawn.load();
    ASSERT_TRUE(advance_until([&] { return clock_ms() >= start + 320; }));
    printing = false;
    printer.join();
    const std::int64_t drawn = frames_drawn.load() - frames_before;
    EXPECT_GE(drawn, 1);
    EXPECT_LE(drawn, (clock_ms() - start) / 16 + 1);
    manual_clock_stop();
}

}  // namespace
