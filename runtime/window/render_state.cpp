#include "runtime/window/render_state.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdlib>

#include "runtime/render/window_mapping.h"
#include "runtime/window/hardware_image.h"
#include "runtime/window/window.h"
#include "runtime/window/window_policy.h"

render_state_cache render_state{-1, -1, 0, -1, -1, -1, nullptr};
vertex_batch batch{nullptr, 0, 1, nullptr, 0, 1};

void render_state_reset() { render_state = {-1, -1, 0, -1, -1, -1, nullptr}; }

namespace {

void set_colour_white() { glColor4f(1.0f, 1.0f, 1.0f, 1.0f); }

// What 2D and 3D drawing share: white, unlit, blended, textured client arrays.
void common_drawing_setup() {
    set_colour_white();
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_LIGHTING);
    render_state.blending = -1;
    set_blending(1);
    glEnable(GL_TEXTURE_2D);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glCullFace(GL_BACK);
}

void setup_2d() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const hardware_image* image = render_state.target > 0 ? hardware_img_get(render_state.target) : nullptr;
    if (image) {
        gluOrtho2D(0, image->width, 0, image->height);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glViewport(0, 0, image->width, image->height);
    } else {
        // Window: y grows downward from the top-left corner.
        glOrtho(0, window_width, 0, window_height, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glScalef(1.0f, -1.0f, 1.0f);
        glTranslatef(0.0f, static_cast<float>(-window_height), 0.0f);
        glViewport(0, 0, window_width, window_height);
    }
}

void setup_3d() {
    const hardware_image* image = render_state.target > 0 ? hardware_img_get(render_state.target) : nullptr;
    double field;
    double aspect;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (image) {
        glViewport(0, 0, image->width, image->height);
        glScalef(1.0f, -1.0f, 1.0f);
        field = image->width > image->height ? 90.0 * image->height / image->width : 90.0;
        aspect = static_cast<double>(image->width) / image->height;
    } else {
        glViewport(0, 0, window_width, window_height);
        const window_mapping& m = current_mapping;
        field = m.display_width <= m.display_height ? 90.0 * window_height / m.display_height
                                                     : 90.0 * window_height / m.display_width;
        aspect = static_cast<double>(window_width) / window_height;
    }
    gluPerspective(field, aspect, 0.1, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void reset_gl_state() {
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_COLOR_MATERIAL);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDepthMask(GL_TRUE);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glAlphaFunc(GL_ALWAYS, 0.0f);
    if (fbo_supported) glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glClear(GL_DEPTH_BUFFER_BIT);
    set_colour_white();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    render_state_reset();
}

}  // namespace

bool set_render_target(std::int32_t destination) {
    if (destination < 0) destination = 0;
    if (destination == render_state.target) return true;
    flush_vertex_batch();
    render_state.mode = 0;
    if (destination == 0) {
        if (fbo_supported) glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        render_state.target = 0;
        return true;
    }
    hardware_image* image = hardware_img_get(destination);
    if (!image || !fbo_supported) return false;
    if (image->texture == 0) upload_hardware_img(destination);
    if (image->framebuffer == 0) {
        glGenFramebuffersEXT(1, &image->framebuffer);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, image->framebuffer);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, image->texture, 0);
        set_colour_white();
        glBindTexture(GL_TEXTURE_2D, 0);
        render_state.texture = -1;
        render_state.texture_parameters = nullptr;
    } else {
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, image->framebuffer);
    }
    render_state.target = destination;
    return true;
}

void set_render_mode(std::int32_t mode) {
    if (mode == render_state.mode) return;
    flush_vertex_batch();
    const std::int32_t previous = render_state.mode;
    if (mode == 1) {
        if (previous != 2) common_drawing_setup();
        setup_2d();
    } else if (mode == 2) {
        if (previous != 1) common_drawing_setup();
        setup_3d();
    } else if (mode == 3) {
        reset_gl_state();
        mode = 0;
    }
    render_state.mode = mode;
}

void set_texture(std::int32_t handle) {
    if (handle == render_state.texture) return;
    flush_vertex_batch();
    hardware_image* image = hardware_img_get(handle);
    if (!image) {
        glBindTexture(GL_TEXTURE_2D, 0);
        render_state.texture = -1;
        render_state.texture_parameters = nullptr;
        return;
    }
    if (image->texture == 0) upload_hardware_img(handle);
    glBindTexture(GL_TEXTURE_2D, image->texture);
    // Without framebuffer objects the driver may have changed the parameters.
    if (!fbo_supported) {
        image->mag_filter = -1;
        image->min_filter = -1;
    }
    render_state.texture = handle;
    render_state.texture_parameters = image;
}

void set_texture_filters(std::int32_t smooth) {
    hardware_image* image = render_state.texture_parameters;
    if (!image) return;
    const std::int32_t filter = smooth || image->storage == 2 ? 1 : 0;
    if (image->mag_filter == filter && image->min_filter == filter) return;
    flush_vertex_batch();
    const GLint gl_filter = filter ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, gl_filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, gl_filter);
    image->mag_filter = filter;
    image->min_filter = filter;
}

void set_texture_wrap(std::int32_t wrap) {
    hardware_image* image = render_state.texture_parameters;
    if (!image || image->wrap == wrap) return;
    flush_vertex_batch();
    const GLint gl_wrap = wrap ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, gl_wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, gl_wrap);
    image->wrap = wrap;
}

void set_blending(std::int32_t blending) {
    if (blending == render_state.blending) return;
    flush_vertex_batch();
    if (blending) {
        glEnable(GL_BLEND);
        if (fbo_supported)
            glBlendFuncSeparateEXT(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE);
        else
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
    render_state.blending = blending;
}

void set_depth_mode(std::int32_t depth_mode) {
    if (depth_mode == render_state.depth_mode) return;
    flush_vertex_batch();
    switch (depth_mode) {
        case 0:
            glDisable(GL_DEPTH_TEST);
            glAlphaFunc(GL_ALWAYS, 0.0f);
            break;
        case 1:
            glEnable(GL_DEPTH_TEST);
            glDepthMask(GL_TRUE);
            glAlphaFunc(GL_GREATER, 0.001f);
            glEnable(GL_ALPHA_TEST);
            break;
        case 2:
            glEnable(GL_DEPTH_TEST);
            glDepthMask(GL_FALSE);
            glAlphaFunc(GL_ALWAYS, 0.0f);
            break;
        default: return;
    }
    render_state.depth_mode = depth_mode;
}

void set_cull_mode(std::int32_t cull_mode) {
    if (cull_mode == render_state.cull_mode) return;
    flush_vertex_batch();
    const std::int32_t previous = render_state.cull_mode;
    switch (cull_mode) {
        case 0: glDisable(GL_CULL_FACE); break;
        case 1:
            glFrontFace(GL_CW);
            if (previous != 2) glEnable(GL_CULL_FACE);
            break;
        case 2:
            glFrontFace(GL_CCW);
            if (previous != 1) glEnable(GL_CULL_FACE);
            break;
        default: return;
    }
    render_state.cull_mode = cull_mode;
}

bool batch_reserve_two_triangles() {
    if (batch.vertex_floats + 17 >= batch.vertex_capacity) {
        const std::int64_t capacity = (batch.vertex_capacity + 9) * 2;
        auto* grown = static_cast<float*>(std::realloc(batch.vertices, static_cast<std::size_t>(capacity) * sizeof(float)));
        if (!grown) return false;
        batch.vertices = grown;
        batch.vertex_capacity = capacity;
    }
    if (batch.texture_floats + 11 >= batch.texture_capacity) {
        const std::int64_t capacity = (batch.texture_capacity + 6) * 2;
        auto* grown = static_cast<float*>(
            std::realloc(batch.texture_coordinates, static_cast<std::size_t>(capacity) * sizeof(float)));
        if (!grown) return false;
        batch.texture_coordinates = grown;
        batch.texture_capacity = capacity;
    }
    return true;
}

void flush_vertex_batch() {
    if (batch.vertex_floats == 0) return;
    // 3D triangles carry three coordinates a vertex, 2D ones two, like their texture coordinates.
    const GLint components = batch.vertex_floats != batch.texture_floats ? 3 : 2;
    glVertexPointer(components, GL_FLOAT, components * 4, batch.vertices);
    glTexCoordPointer(2, GL_FLOAT, 8, batch.texture_coordinates);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(batch.vertex_floats / components));
    batch.vertex_floats = 0;
    batch.texture_floats = 0;
}
