// Hardware images and the walk over the hardware graphics commands, without
// a GL context: power-of-two padding, and which presentation consumes which
// command (frees of images that were never uploaded need no GL), with a
// broken link.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "fake_dialog.h"
#include "runtime/core/handle_list.h"
#include "runtime/display/hardware_image.h"
#include "runtime/display/hgc_layer.h"
#include "runtime/display/software_frame.h"

namespace {

TEST(HardwareImage, PaddingToPowersOfTwoRepeatsTheLastColumnAndRow) {
    for (auto [n, padded] : {std::pair{640, 1024}, {400, 512}, {512, 512}, {1, 1}})
        EXPECT_EQ(power_of_two_at_least(n), padded) << n;
    const std::uint32_t frame[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};   // 5 x 3
    std::vector<std::uint32_t> padded(8 * 5, 0);   // a row more than the 8 x 4 it pads to
    pad_pixels(frame, 5, 3, padded.data(), 8, 4);
    EXPECT_EQ(padded, (std::vector<std::uint32_t>{1,  2,  3,  4,  5,  5,  0, 0, 6,  7,  8,  9,  10, 10, 0, 0,
                                                  11, 12, 13, 14, 15, 15, 0, 0, 11, 12, 13, 14, 15, 15, 0, 0,
                                                  0,  0,  0,  0,  0,  0,  0, 0}));
}

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

    // A link to a command that no longer exists stops the walk with an alert.
    fake_dialog dialog;
    const std::int32_t image = new_hardware_img(1, 1, &pixel, hardware_img_deferred);
    const std::int64_t broken = issue_free(image, 13);
    list_remove(hgc_list, broken);
    present(14, {0});
    ASSERT_EQ(dialog.calls().size(), 1u);
    EXPECT_EQ(dialog.calls()[0].option("text"), "Renderer: Command does not exist: command = " +
                                                    std::to_string(broken) + ", hgcx->order = 10, order = 14");
    EXPECT_NE(hardware_img_get(image), nullptr);
}

}  // namespace
