// The walk over the hardware graphics commands, without a GL context: which
// presentation consumes which command (frees of images that were never
// uploaded need no GL).
#include <gtest/gtest.h>

#include "runtime/core/handle_list.h"
#include "runtime/display/hardware_image.h"
#include "runtime/display/hgc_layer.h"
#include "runtime/display/software_frame.h"

namespace {

// The image and command lists, made once as start-up makes them.
void make_lists() {
    if (!hardware_images) hardware_images = list_new_locked(hardware_image_record_size);
    if (!hgc_list) hgc_list = list_new(hgc_record_size);
}

std::int64_t issue_free(std::int32_t image, std::uint64_t order) {
    next_frame_order = order;
    hgc command{};
    command.type = hgc_free_image;
    command.source = image;
    return hgc_issue(command);
}

void present(std::int64_t order, std::initializer_list<std::int32_t> layers) {
    hgc_presentation_begin(order);
    for (std::int32_t layer : layers) draw_hgc_layer(layer);
    hgc_presentation_end();
}

TEST(HgcLayer, CommandsAreConsumedInThePresentationOfTheirFrame) {
    make_lists();
    const std::uint32_t pixel = 0;
    EXPECT_FALSE(hgc_presentation_needed());
    // Frees of four images, issued in frames 10, 11, 11 and 12.
    std::int32_t images[4];
    std::int64_t commands[4];
    for (int i = 0; i < 4; ++i) {
        images[i] = new_hardware_img(1, 1, &pixel, hardware_img_deferred);
        commands[i] = issue_free(images[i], i == 0 ? 10 : i == 3 ? 12 : 11);
    }
    EXPECT_TRUE(hgc_presentation_needed());
    auto done = [&](int i) { return static_cast<const hgc*>(list_get(hgc_list, commands[i]))->done; };

    // Presenting frame 11: the older command and both of frame 11 run in the first layer.
    present(11, {0, -1});
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::make_tuple(hardware_img_get(images[i]) == nullptr, done(i)), std::make_tuple(i < 3, i < 3)) << i;
    EXPECT_EQ(hgc_last_consumed, commands[2]);
    EXPECT_TRUE(hgc_presentation_needed());
    // A presentation that shows no hardware layer still frees images.
    present(12, {});
    EXPECT_EQ(std::make_tuple(hardware_img_get(images[3]), done(3)), std::make_tuple(nullptr, 1));
    EXPECT_FALSE(hgc_presentation_needed());
}

}  // namespace
