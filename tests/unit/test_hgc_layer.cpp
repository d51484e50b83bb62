// The walk over the hardware graphics commands, with commands that need no
// GL context (freeing images that were never uploaded): which presentation
// consumes which command, and a broken link.
#include <gtest/gtest.h>

#include "fake_dialog.h"
#include "runtime/core/handle_list.h"
#include "runtime/display/hardware_image.h"
#include "runtime/display/hgc_layer.h"
#include "runtime/display/software_frame.h"

namespace {

std::int64_t issue_free(std::int32_t image, std::uint64_t order) {
    next_frame_order = order;
    hgc command{};
    command.type = hgc_free_image;
    command.source = image;
    return hgc_issue(command);
}

const hgc* command(std::int64_t index) { return static_cast<const hgc*>(list_get(hgc_list, index)); }

TEST(HgcLayer, CommandsAreConsumedInThePresentationOfTheirFrame) {
    hardware_images = list_new_locked(hardware_image_record_size);
    hgc_list = list_new(hgc_record_size);
    const std::uint32_t pixel = 0;
    std::int32_t images[4];
    for (std::int32_t& image : images) image = new_hardware_img(1, 1, &pixel, hardware_img_deferred);
    EXPECT_FALSE(hgc_presentation_needed());
    const std::int64_t older = issue_free(images[0], 10);
    const std::int64_t first_of_11 = issue_free(images[1], 11);
    const std::int64_t second_of_11 = issue_free(images[2], 11);
    const std::int64_t newer = issue_free(images[3], 12);
    EXPECT_TRUE(hgc_presentation_needed());

    // Presenting frame 11: the older command and both of frame 11 run in the first layer.
    hgc_presentation_begin(11);
    draw_hgc_layer(0);
    draw_hgc_layer(-1);
    hgc_presentation_end();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(hardware_img_get(images[i]), nullptr) << i;
    EXPECT_NE(hardware_img_get(images[3]), nullptr);
    EXPECT_EQ(command(older)->done, 1);
    EXPECT_EQ(command(first_of_11)->done, 1);
    EXPECT_EQ(command(second_of_11)->done, 1);
    EXPECT_EQ(command(newer)->done, 0);
    EXPECT_EQ(hgc_last_consumed, second_of_11);
    EXPECT_TRUE(hgc_presentation_needed());

    // A presentation that shows no hardware layer still frees images.
    hgc_presentation_begin(12);
    hgc_presentation_end();
    EXPECT_EQ(hardware_img_get(images[3]), nullptr);
    EXPECT_EQ(command(newer)->done, 1);
    EXPECT_FALSE(hgc_presentation_needed());

    // A link to a command that no longer exists stops the walk with an alert.
    fake_dialog dialog;
    const std::int32_t image = new_hardware_img(1, 1, &pixel, hardware_img_deferred);
    const std::int64_t broken = issue_free(image, 13);
    list_remove(hgc_list, broken);
    hgc_presentation_begin(14);
    draw_hgc_layer(0);
    hgc_presentation_end();
    ASSERT_EQ(dialog.calls().size(), 1u);
    EXPECT_EQ(dialog.calls()[0].option("text"),
              "Renderer: Command does not exist: command = " + std::to_string(broken) + ", hgcx->order = 10, order = 14");
    EXPECT_NE(hardware_img_get(image), nullptr);
}

}  // namespace
