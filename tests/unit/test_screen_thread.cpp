// The screen thread on the test clock, which moves only when the test (or
// the thread's own sleeps) advance it: a change is rendered as soon as it
// is made, a still page with a hidden cursor is never drawn again, and a
// page that changes without pause gets no more than one frame per 16 ms.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "runtime/core/sleep.h"
#include "runtime/core/startup.h"
#include "runtime/core/wake_signal.h"
#include "runtime/display/software_frame.h"
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

TEST(ScreenThread, RendersChangesAtOnceAndNoFasterThanOneFramePer16Ms) {
    strings_startup();
    fresh_text_screen();
    software_frames_reset();
    write_page->cursor_visible = 0;
    manual_clock_start(1000000, 0);
    std::thread(screen_thread, nullptr).detach();   // runs until the process ends
    // The first frame; then the thread rests in its pacing wait.
    ASSERT_TRUE(advance_until([] { return frames_drawn.load() >= 1 && render_pass_count.load() >= 4; }));
    ASSERT_TRUE(advance_until([] { return screen_thread_wake.waiters.load() > 0; }));

    // A change: a frame follows while the clock stands still.
    const std::int64_t frames = frames_drawn.load(), changed_at = clock_ms();
    print_raw("A");
    for (int waited = 0; waited < 5000 && frames_drawn.load() == frames; ++waited) std::this_thread::sleep_for(1ms);
    EXPECT_EQ(frames_drawn.load(), frames + 1);
    EXPECT_EQ(clock_ms(), changed_at);

    // A still page with a hidden cursor: passes go on, frames do not.
    const std::int32_t still_from = render_pass_count.load();
    ASSERT_TRUE(advance_until([&] { return render_pass_count.load() >= still_from + 20; }));
    EXPECT_EQ(frames_drawn.load(), frames + 1);

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
