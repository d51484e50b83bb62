// Frames passed between a renderer thread and a consumer that follows the
// display callback's rules: no frame is ever claimed by both, pixels change
// only while a frame is being written, and the consumer ends on the newest frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <thread>

#include "runtime/console/screen_image.h"
#include "runtime/display/fonts.h"
#include "runtime/display/palettes.h"
#include "runtime/display/software_frame.h"

namespace {

// Runs renderer on a thread while taking frames like the display callback,
// checking each shown frame twice (it must stay untouched while on screen);
// returns the number of faults and the order of the last frame shown.
std::pair<int, std::int64_t> exchange(const std::function<void(std::atomic<int>&)>& renderer,
                                      const std::function<bool(const software_frame*)>& check) {
    std::atomic<bool> done{false};
    std::atomic<int> faults{0};
    std::thread thread([&] {
        renderer(faults);
        done = true;
    });
    std::int64_t last = 0;
    for (bool finished = false; !finished;) {
        finished = done.load();
        bool is_new = false;
        const software_frame* frame = frame_claim_for_display(&is_new);
        if (!frame) continue;
        if (frame->state.load() != frame_on_screen || frame->order < last) ++faults;
        last = frame->order;
        if (!check(frame)) ++faults;
        std::this_thread::yield();
        if (!check(frame)) ++faults;
    }
    thread.join();
    return {faults, last};
}

TEST(FrameExchange, ClaimsNeverOverlap) {
    constexpr int pixel_count = 64 * 64;
    software_frames_reset();
    for (software_frame& frame : software_frames) {
        frame.pixels = static_cast<std::uint32_t*>(std::malloc(pixel_count * 4));
        frame.capacity = pixel_count * 4;
        frame.width = frame.height = 64;
    }
    const auto [faults, last] = exchange(
        [](std::atomic<int>& faults) {
            for (int pass = 0; pass < 20000; ++pass) {
                software_frame* frame = frame_claim_for_writing();
                if (!frame) { ++faults; continue; }
                std::fill_n(frame->pixels, pixel_count, static_cast<std::uint32_t>(frame->order));
                if (frame->state.load() != frame_being_written) ++faults;
                frame_release_written(frame, pass % 7 != 0);   // some passes draw nothing
            }
        },
        [](const software_frame* frame) {
            return std::all_of(frame->pixels, frame->pixels + pixel_count,
                               [&](std::uint32_t p) { return p == static_cast<std::uint32_t>(frame->order); });
        });
    EXPECT_EQ(faults, 0);
    std::int64_t newest_ready = 0;   // the newest drawn frame is the one on screen
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
    const auto [faults, last] = exchange(
        [page](std::atomic<int>&) {
            // Each pass sees one whole page of a single character: a shown frame
            // is complete only when every cell shows the character of cell 0.
            for (int pass = 0; pass < 300; ++pass, ++render_pass_count) {
                const auto c = static_cast<std::uint8_t>(pass % 3 == 0 ? 'A' + pass % 26 : page->cells[0]);
                for (int i = 0; i < 80 * 25; ++i) page->cells[2 * i] = c;
                render_software_frame();
            }
        },
        [](const software_frame* frame) {
            for (int y = 0; y < frame->height; ++y)
                for (int x = 8; x < frame->width; ++x)
                    if (frame->pixels[y * frame->width + x] != frame->pixels[y * frame->width + x % 8]) return false;
            return true;
        });
    EXPECT_EQ(faults, 0);
    EXPECT_EQ(last, frame_newest_complete(nullptr)->order);
}

}  // namespace
