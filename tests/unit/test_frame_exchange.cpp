// Frames passed between a renderer thread and a consumer that follows the
// display callback's rules: no frame is ever claimed by both, pixels change
// only while a frame is being written, and the consumer ends on the newest frame.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "runtime/console/screen_image.h"
#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"
#include "runtime/display/software_frame.h"

namespace {

constexpr int pixel_count = 64 * 64;

// True when every pixel of the frame holds value.
bool uniform(const software_frame* frame, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        if (frame->pixels[i] != value) return false;
    return true;
}

// Takes frames like the display callback until the renderer is done, checking
// each shown frame twice; returns the order of the last frame shown.
template <typename check_frame>
std::int64_t consume(const std::atomic<bool>& renderer_done, std::atomic<int>& faults, check_frame check) {
    std::int64_t shown_order = 0;
    for (;;) {
        const bool finished = renderer_done.load();
        bool is_new = false;
        const software_frame* frame = frame_claim_for_display(&is_new);
        if (frame) {
            if (frame->state.load() != frame_on_screen || frame->order < shown_order) ++faults;
            shown_order = frame->order;
            if (!check(frame)) ++faults;
            std::this_thread::yield();
            if (!check(frame)) ++faults;   // still untouched while on screen
        }
        if (finished) return shown_order;
    }
}

TEST(FrameExchange, ClaimsNeverOverlap) {
    software_frames_reset();
    std::atomic<bool> done{false};
    std::atomic<int> faults{0};
    std::thread renderer([&] {
        for (int pass = 0; pass < 20000; ++pass) {
            software_frame* frame = frame_claim_for_writing();
            if (!frame) {
                ++faults;
                continue;
            }
            if (!frame->pixels) {
                frame->pixels = static_cast<std::uint32_t*>(std::malloc(pixel_count * 4));
                frame->capacity = pixel_count * 4;
                frame->width = frame->height = 64;
            }
            const auto stamp = static_cast<std::uint32_t>(frame->order);
            for (int i = 0; i < pixel_count; ++i) frame->pixels[i] = stamp;
            if (frame->state.load() != frame_being_written) ++faults;
            frame_release_written(frame, pass % 7 != 0);   // some passes draw nothing
        }
        done = true;
    });
    const std::int64_t last = consume(done, faults, [](const software_frame* frame) {
        return uniform(frame, static_cast<std::uint32_t>(frame->order), pixel_count);
    });
    renderer.join();
    EXPECT_EQ(faults, 0);
    // The newest drawn frame is the one on screen.
    std::int64_t newest_ready = 0;
    for (const software_frame& frame : software_frames)
        if (frame.state == frame_ready || frame.state == frame_on_screen)
            newest_ready = std::max<std::int64_t>(newest_ready, frame.order);
    EXPECT_EQ(last, newest_ready);
}

TEST(FrameExchange, RendererCopiesCompleteFramesWhileTheyAreShown) {
    fonts_install();
    palettes_install();
    screen_set_mode(0, 0, 0, 0, 0, 1);
    software_frames_reset();
    screen_image* page = display_page;
    ASSERT_NE(page, nullptr);
    constexpr int cells = 80 * 25;
    std::atomic<bool> done{false};
    std::atomic<int> faults{0};
    std::thread renderer([&] {
        // Each pass sees one whole page of a single character: a shown frame
        // is complete only when every cell shows the character of cell 0.
        for (int pass = 0; pass < 300; ++pass) {
            const std::uint8_t c = static_cast<std::uint8_t>(pass % 3 == 0 ? 'A' + pass % 26 : page->cells[0]);
            for (int i = 0; i < cells; ++i) page->cells[2 * i] = c;
            render_software_frame();
            ++render_pass_count;
        }
        done = true;
    });
    const std::int64_t last = consume(done, faults, [](const software_frame* frame) {
        // Compare every cell with cell 0, row by row of pixels.
        for (int y = 0; y < frame->height; ++y)
            for (int x = 8; x < frame->width; ++x)
                if (frame->pixels[y * frame->width + x] != frame->pixels[y * frame->width + x % 8]) return false;
        return true;
    });
    renderer.join();
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(last, frame_newest_complete(nullptr)->order);
}

}  // namespace
