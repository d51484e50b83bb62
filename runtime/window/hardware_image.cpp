#include "runtime/window/hardware_image.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdlib>
#include <cstring>

#include "runtime/errors/errors.h"
#include "runtime/lists/handle_list.h"
#include "runtime/window/render_state.h"
#include "runtime/window/window.h"


handle_list* hardware_images = nullptr;

namespace {

// Shared by all padded uploads; grows, never shrinks.
std::uint32_t* padding_buffer = nullptr;
std::int64_t padding_buffer_pixels = 0;

void forget_bound_texture() {
    glBindTexture(GL_TEXTURE_2D, 0);
    render_state.texture = -1;
    render_state.texture_parameters = nullptr;
}

// Makes the image's texture: at its own size, else padded to powers of two,
// else as mipmaps.
void upload_texture(hardware_image* image, const std::uint32_t* pixels) {
    glGenTextures(1, &image->texture);
    glBindTexture(GL_TEXTURE_2D, image->texture);
    while (glGetError() != GL_NO_ERROR) {
    }
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image->width, image->height, 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    if (glGetError() == GL_NO_ERROR) {
        image->storage = 0;
        forget_bound_texture();
        return;
    }
    const std::int32_t padded_width = power_of_two_at_least(image->width);
    const std::int32_t padded_height = power_of_two_at_least(image->height);
    const std::int64_t padded_pixels = static_cast<std::int64_t>(padded_width) * padded_height;
    if (padded_pixels > padding_buffer_pixels) {
        auto* grown = static_cast<std::uint32_t*>(
            std::realloc(padding_buffer, static_cast<std::size_t>(padded_pixels) * sizeof(std::uint32_t)));
        if (grown) {
            padding_buffer = grown;
            padding_buffer_pixels = padded_pixels;
        }
    }
    if (padded_pixels <= padding_buffer_pixels) {
        if (pixels) pad_pixels(pixels, image->width, image->height, padding_buffer, padded_width, padded_height);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, padded_width, padded_height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                     padding_buffer);
        if (glGetError() == GL_NO_ERROR) {
            image->storage = 1;
            image->texture_width = padded_width;
            image->texture_height = padded_height;
            forget_bound_texture();
            return;
        }
    }
    const GLint result =
        gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, image->width, image->height, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    if (result != 0) alert_box("gluBuild2DMipmaps failed: %i", result);
    image->storage = 2;
    image->texture_width = image->width;
    image->texture_height = image->height;
    forget_bound_texture();
}

}  // namespace

hardware_image* hardware_img_get(std::int32_t handle) {
    if (!hardware_images) return nullptr;
    return static_cast<hardware_image*>(list_get(hardware_images, handle));
}

std::int32_t new_hardware_img(std::int32_t width, std::int32_t height, const std::uint32_t* pixels,
                              std::int32_t flags) {
    if (!hardware_images || width < 1 || height < 1) return 0;
    const auto handle = static_cast<std::int32_t>(list_add(hardware_images));
    hardware_image* image = hardware_img_get(handle);
    if (!image) return 0;
    image->width = width;
    image->height = height;
    image->valid = 1;
    image->mag_filter = image->min_filter = -1;
    image->wrap = -1;
    if (flags & hardware_img_deferred) {
        if ((flags & hardware_img_copy) && pixels) {
            const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
            auto* copy = static_cast<std::uint32_t*>(std::malloc(bytes));
            if (copy) std::memcpy(copy, pixels, bytes);
            image->pixels = copy;
            image->pixels_owned = 1;
        } else {
            image->pixels = pixels;
        }
        return handle;
    }
    upload_texture(image, pixels);
    return handle;
}

void upload_hardware_img(std::int32_t handle) {
    hardware_image* image = hardware_img_get(handle);
    if (!image || image->texture != 0) return;
    upload_texture(image, image->pixels);
    if (image->pixels_owned) std::free(const_cast<std::uint32_t*>(image->pixels));
    image->pixels = nullptr;
    image->pixels_owned = 0;
}

bool update_hardware_img_rows(std::int32_t handle, const std::uint32_t* pixels, std::int32_t first_row,
                              std::int32_t row_count) {
    hardware_image* image = hardware_img_get(handle);
    if (!image || image->texture == 0 || image->storage != 0 || !pixels) return false;
    if (first_row < 0 || row_count < 0 || first_row + row_count > image->height) return false;
    if (row_count == 0) return true;
    flush_vertex_batch();   // batched rectangles may still read the old rows
    glBindTexture(GL_TEXTURE_2D, image->texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first_row, image->width, row_count, GL_BGRA, GL_UNSIGNED_BYTE,
                    pixels + static_cast<std::int64_t>(first_row) * image->width);
    forget_bound_texture();
    return true;
}

void free_hardware_img(std::int32_t handle) {
    hardware_image* image = hardware_img_get(handle);
    if (!image) {
        alert_box("free_hardware_img: image does not exist");
        return;
    }
    flush_vertex_batch();
    // The handle will be handed out again: the cache must not take a new image for this one.
    if (render_state.texture == handle) forget_bound_texture();
    if (render_state.target == handle) {
        render_state.target = -1;
        render_state.mode = 0;
    }
    if (image->framebuffer && fbo_supported) glDeleteFramebuffersEXT(1, &image->framebuffer);
    if (image->depth_buffer) glDeleteTextures(1, &image->depth_buffer);
    if (image->texture) glDeleteTextures(1, &image->texture);
    if (image->pixels_owned) std::free(const_cast<std::uint32_t*>(image->pixels));
    image->pixels = nullptr;
    image->valid = 0;
    list_remove(hardware_images, handle);
}

std::int32_t power_of_two_at_least(std::int32_t n) {
    std::int32_t size = 1;
    while (size < n && size < (1 << 30)) size <<= 1;
    return size;
}

void pad_pixels(const std::uint32_t* pixels, std::int32_t width, std::int32_t height, std::uint32_t* padded,
                std::int32_t padded_width, std::int32_t padded_height) {
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint32_t* row = padded + static_cast<std::int64_t>(y) * padded_width;
        std::memcpy(row, pixels + static_cast<std::int64_t>(y) * width, static_cast<std::size_t>(width) * 4);
        // One repeated column beyond the edge, so filtering at the edge sees the picture.
        if (padded_width > width) row[width] = row[width - 1];
    }
    if (padded_height > height)
        std::memcpy(padded + static_cast<std::int64_t>(height) * padded_width,
                    padded + static_cast<std::int64_t>(height - 1) * padded_width,
                    static_cast<std::size_t>(padded_width) * 4);
}
