#include "runtime/window/image_drawing.h"

#include <GL/glew.h>

#include <utility>

#include "runtime/render/window_mapping.h"
#include "runtime/window/hardware_image.h"
#include "runtime/window/render_state.h"
#include "runtime/window/window.h"
#include "runtime/window/window_policy.h"

namespace {

void draw_rectangle(float x1, float y1, float x2, float y2, std::int32_t source, std::int32_t destination,
                    bool map_to_window, float sx1, float sy1, float sx2, float sy2, std::int32_t blend,
                    std::int32_t smooth) {
    if (x2 < x1) {
        std::swap(x1, x2);
        std::swap(sx1, sx2);
    }
    if (y2 < y1) {
        std::swap(y1, y2);
        std::swap(sy1, sy2);
    }
    if (!set_render_target(destination)) return;
    set_render_mode(1);
    if (map_to_window) {
        const pixel_rectangle r = map_frame_rectangle(current_mapping, x1, y1, x2, y2);
        x1 = static_cast<float>(r.left);
        y1 = static_cast<float>(r.top);
        x2 = static_cast<float>(r.right);
        y2 = static_cast<float>(r.bottom);
    }
    set_texture(source);
    const hardware_image* image = render_state.texture_parameters;
    if (!image) return;
    set_texture_filters(smooth);
    set_blending(blend);
    set_depth_mode(0);
    set_cull_mode(0);
    set_texture_wrap(0);

    const std::int32_t texture_width = image->storage ? image->texture_width : image->width;
    const std::int32_t texture_height = image->storage ? image->texture_height : image->height;
    float u_left, u_right, v_top, v_bottom;
    texture_edges(sx1, sx2, texture_width, u_left, u_right);
    texture_edges(sy1, sy2, texture_height, v_top, v_bottom);

    if (!batch_reserve_two_triangles()) return;
    float* v = batch.vertices + batch.vertex_floats;
    const float right = x2 + 1, bottom = y2 + 1;
    const float vertices[12] = {x1, y1, right, y1, x1, bottom, x1, bottom, right, y1, right, bottom};
    for (int i = 0; i < 12; ++i) v[i] = vertices[i];
    float* t = batch.texture_coordinates + batch.texture_floats;
    const float coordinates[12] = {u_left, v_top,    u_right, v_top, u_left,  v_bottom,
                                   u_left, v_bottom, u_right, v_top, u_right, v_bottom};
    for (int i = 0; i < 12; ++i) t[i] = coordinates[i];
    batch.vertex_floats += 12;
    batch.texture_floats += 12;
}

}  // namespace

void draw_hardware_img(float x1, float y1, float x2, float y2, std::int32_t source, std::int32_t destination,
                       float sx1, float sy1, float sx2, float sy2, std::int32_t blend, std::int32_t smooth) {
    draw_rectangle(x1, y1, x2, y2, source, destination, destination <= 0, sx1, sy1, sx2, sy2, blend, smooth);
}

void draw_hardware_img_window_pixels(float x1, float y1, float x2, float y2, std::int32_t source, float sx1,
                                     float sy1, float sx2, float sy2, std::int32_t blend, std::int32_t smooth) {
    draw_rectangle(x1, y1, x2, y2, source, 0, false, sx1, sy1, sx2, sy2, blend, smooth);
}

bool copy_hardware_img_to_window(std::int32_t source, std::int32_t x, std::int32_t y, std::int32_t zoom,
                                 std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    const hardware_image* image = hardware_img_get(source);
    if (!image || !fbo_supported || !GLEW_EXT_framebuffer_blit || !glBlitFramebufferEXT) return false;
    if (image->texture == 0) upload_hardware_img(source);
    if (image->storage != 0 || image->texture == 0) return false;
    if (image->framebuffer == 0 && !set_render_target(source)) return false;   // makes the image's framebuffer
    if (!set_render_target(0)) return false;
    // The texture's first row is the picture's top row; GL counts window rows
    // from the bottom, so the copy turns the rows over.
    const std::int32_t window_top = window_height - y;
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, image->framebuffer);
    glBlitFramebufferEXT(left, top, right, bottom, x + zoom * left, window_top - zoom * top, x + zoom * right,
                         window_top - zoom * bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, 0);
    return true;
}
