// Frames passed between the renderer on a thread of its own and a consumer
// that follows the display callback's rules: a frame on screen is never
// written to, every shown frame is complete, and the consumer ends on the
// newest frame.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "runtime/console/screen_image.h"
#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"
#include "runtime/display/software_frame.h"

namespace {

// Each pass prints one whole page of a single character: a frame is complete
// only when every cell shows the glyph of cell 0.
bool complete(const software_frame* frame) {
    for (int y = 0; y < frame->height; ++y)
        for (int x = 8; x < frame->width; ++x)
            if (frame->pixels[y * frame->width + x] != frame->pixels[y * frame->width + x % 8]) return false;
    return true;
}

TEST(FrameExchange, RendererFillsOnlyFreeFramesWhileOthersAreShown) {
    fonts_install();
    palettes_install();
    screen_set_mode(0, 0, 0, 0, 0, 1);
    software_frames_reset();
    screen_image* page = display_page;
    ASSERT_NE(page, nullptr);
    std::atomic<bool> done{false};
    std::thread renderer([&] {
        for (int pass = 0; pass < 300; ++pass) {
            const auto c = static_cast<std::uint8_t>(pass % 3 == 0 ? 'A' + pass % 26 : page->cells[0]);
            for (int i = 0; i < 80 * 25; ++i) page->cells[2 * i] = c;
            render_software_frame();
            ++render_pass_count;
        }
        done = true;
    });
    // Each shown frame is checked twice: it must stay untouched while on screen.
    int faults = 0;
    std::int64_t last = 0;
    for (bool finished = false; !finished;) {
        finished = done.load();
        bool is_new = false;
        const software_frame* frame = frame_claim_for_display(&is_new);
        if (!frame) continue;
        if (frame->state.load() != frame_on_screen || frame->order < last) ++faults;
        last = frame->order;
        if (!complete(frame)) ++faults;
        std::this_thread::yield();
        if (!complete(frame)) ++faults;
    }
    renderer.join();
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(last, frame_newest_complete(nullptr)->order);
}

}  // namespace
