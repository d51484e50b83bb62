// Hardware images: OpenGL textures with their size and cached texture state,
// addressed by handles in the locked handle list hardware_images.
//
// Images made on the window thread are uploaded at once; other threads make
// them deferred (the pixels are kept and uploaded on the window thread the
// first time the image is bound or drawn into).
#pragma once
#include <cstdint>

struct handle_list;

struct hardware_image {
    std::int32_t width, height;
    std::uint32_t texture;         // GL texture name; 0 while the upload is pending
    std::uint32_t framebuffer;     // framebuffer object once drawn into; else 0
    std::uint32_t depth_buffer;    // depth texture for 3D drawing into the image; else 0
    const std::uint32_t* pixels;   // kept for a pending upload; null otherwise
    std::int32_t valid;            // 1 for a live image
    std::int32_t mag_filter, min_filter;   // -1 unknown, 0 nearest, 1 linear
    std::int32_t wrap;             // -1 unknown, 0 clamp to edge, 1 repeat
    std::int32_t storage;          // 0 exact size, 1 padded to powers of two, 2 mipmaps
    std::int32_t texture_width, texture_height;   // GL texture size when storage is not 0
    std::int32_t pixels_owned;     // 1 when pixels is a private copy
};

// Record size of the hardware_images list (start-up creates it with list_new_locked).
inline constexpr std::int64_t hardware_image_record_size = 80;
static_assert(sizeof(hardware_image) <= hardware_image_record_size);

// Made at start-up; a locked list: records are added by any thread and
// removed by the window thread (free_hardware_img).
extern handle_list* hardware_images;

enum : std::int32_t {
    hardware_img_deferred = 1,   // keep the pixels, no GL call (any thread)
    hardware_img_copy = 2,       // with deferred: keep a private copy of the pixels
};

// Returns the new image's handle (0 when the list cannot grow).
std::int32_t new_hardware_img(std::int32_t width, std::int32_t height, const std::uint32_t* pixels,
                              std::int32_t flags);
// Makes the texture of a deferred image (window thread).
void upload_hardware_img(std::int32_t handle);
// Replaces rows first_row to first_row + row_count - 1 of an uploaded image
// of its own size (storage 0) with those rows of pixels, a picture of the
// image's size (window thread). False when the image cannot be updated so.
bool update_hardware_img_rows(std::int32_t handle, const std::uint32_t* pixels, std::int32_t first_row,
                              std::int32_t row_count);
// Deletes the GL objects and kept pixels and removes the record (window thread).
void free_hardware_img(std::int32_t handle);
// The record of a handle, or null.
hardware_image* hardware_img_get(std::int32_t handle);

// Padding for drivers that refuse textures whose sides are not powers of two.
std::int32_t power_of_two_at_least(std::int32_t n);
// Copies width x height pixels into a padded_width-wide buffer of at least
// padded_height rows and repeats the last column and the last row once.
void pad_pixels(const std::uint32_t* pixels, std::int32_t width, std::int32_t height, std::uint32_t* padded,
                std::int32_t padded_width, std::int32_t padded_height);
