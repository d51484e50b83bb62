// Hardware images without a GL context: power-of-two padding and the
// deferred images that other threads make.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "fake_dialog.h"
#include "runtime/core/handle_list.h"
#include "runtime/display/hardware_image.h"

TEST(HardwareImage, PaddingToPowersOfTwoRepeatsTheLastColumnAndRow) {
    for (auto [n, padded] : {std::pair{640, 1024}, {400, 512}, {512, 512}, {1, 1}})
        EXPECT_EQ(power_of_two_at_least(n), padded) << n;

    std::vector<std::uint32_t> frame(640 * 400);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 640; ++x) frame[y * 640 + x] = static_cast<std::uint32_t>(y << 16 | x);
    const std::uint32_t untouched = 0xDEADBEEF;
    std::vector<std::uint32_t> padded(1024 * 512, untouched);
    pad_pixels(frame.data(), 640, 400, padded.data(), 1024, 512);
    for (int y = 0; y < 400; ++y) {
        ASSERT_EQ(padded[y * 1024 + 0], frame[y * 640]);
        ASSERT_EQ(padded[y * 1024 + 639], frame[y * 640 + 639]);
        ASSERT_EQ(padded[y * 1024 + 640], frame[y * 640 + 639]) << y;   // the repeated column
        ASSERT_EQ(padded[y * 1024 + 641], untouched);
    }
    for (int x = 0; x <= 640; ++x) EXPECT_EQ(padded[400 * 1024 + x], padded[399 * 1024 + x]);   // the repeated row
    EXPECT_EQ(padded[401 * 1024], untouched);
}

TEST(HardwareImage, DeferredImagesKeepTheirPixelsUntilFreed) {
    hardware_images = list_new_locked(hardware_image_record_size);
    std::uint32_t pixels[6] = {1, 2, 3, 4, 5, 6};
    const std::int32_t kept = new_hardware_img(3, 2, pixels, hardware_img_deferred);
    const std::int32_t copied = new_hardware_img(3, 2, pixels, hardware_img_deferred | hardware_img_copy);
    ASSERT_NE(kept, 0);
    ASSERT_NE(copied, 0);
    const hardware_image* a = hardware_img_get(kept);
    EXPECT_EQ(std::make_tuple(a->texture, a->valid, a->mag_filter, a->pixels),   // no GL call yet
              std::make_tuple(0u, 1, -1, static_cast<const std::uint32_t*>(pixels)));
    pixels[0] = 99;
    EXPECT_EQ(hardware_img_get(copied)->pixels[0], 1u);

    free_hardware_img(copied);
    EXPECT_EQ(hardware_img_get(copied), nullptr);
    EXPECT_EQ(new_hardware_img(0, 5, pixels, hardware_img_deferred), 0);   // no empty images

    fake_dialog dialog;
    free_hardware_img(copied);
    ASSERT_EQ(dialog.calls().size(), 1u);
    EXPECT_EQ(dialog.calls()[0].option("text"), "free_hardware_img: image does not exist");
    EXPECT_NE(hardware_img_get(kept), nullptr);
}
