// Presentation: the newest software frame goes into the software layer's
// texture and is drawn, with the hardware layers, into the window; a
// presentation that finds nothing new returns before any GL call.
//
// The texture is kept from frame to frame. A new frame that was drawn onto
// a copy of the frame in the texture replaces only the rows it redrew (a
// blinking cursor costs one text row); any other frame replaces it whole.
// At the bottom of the layers and enlarged by a whole number (1 included),
// the texture is copied into the window rather than drawn.
//
// A frame alone at the bottom of the layers, enlarged by a whole number, is
// a picture the window keeps: a new frame drawn onto a copy of the one the
// window shows goes there as an image of the cells it changed
// (window_image.h), past GL, so that a typed character or a cursor flip
// costs the same few pixels at any zoom and no wait for the X server. The
// texture then catches up at the next presentation through GL.
#include "runtime/window/presentation.h"

#include <GL/glew.h>
#include <GL/freeglut.h>

#include <cmath>

#include "runtime/core/wake_signal.h"
#include "runtime/window/window.h"

#include "runtime/errors/errors.h"
#include "runtime/events/event_check.h"
#include "runtime/input/keyboard_buffer.h"
#include "runtime/render/software_frame.h"
#include "runtime/render/window_mapping.h"
#include "runtime/window/hardware_image.h"
#include "runtime/window/hgc_layer.h"
#include "runtime/window/image_drawing.h"
#include "runtime/window/render_state.h"
#include "runtime/window/window_image.h"
#include "runtime/window/window_policy.h"
#include "runtime/window/window_zoom.h"

std::int32_t software_screen_hardware_frame = 0;
std::int64_t software_screen_texture_order = 0;
namespace {
std::int64_t frames_drawn_seen = 0;   // frames_drawn when the display callback last looked for a frame
std::int32_t hinted_frame_width = 0, hinted_frame_height = 0;   // the frame size the window manager knows
// The order of the frame the window shows alone, as the current mapping
// places it; 0 when it shows anything else.
std::int64_t window_picture_order = 0;
// What presentation_due last looked at.
std::int64_t frames_drawn_looked = 0;
std::int64_t frame_order_looked = 0;
}
std::int64_t presented_order = 0;
std::int32_t redraw_needed = 0;
std::atomic<std::int32_t> window_resized{0};
std::atomic<std::int32_t> reported_window_width{640}, reported_window_height{400};
std::atomic<std::int64_t> presentations{0};
std::atomic<std::int64_t> new_frames_presented{0};
std::atomic<std::int32_t> hardware_layer_position{2};
std::atomic<std::int32_t> reserved_layer_position{3};
std::atomic<std::int32_t> second_hardware_layer_position{4};

namespace {

// freeglut carries out a reshape, full screen or redisplay asked for inside
// a callback at the next turn of the loop: one more turn is asked for.
void request_reshape(std::int32_t width, std::int32_t height) {
    reshape_pending = 1;
    glutReshapeWindow(width, height);
    glutPostRedisplay();
    window_thread_request_pass();
}

// Full-screen requests wait until the window has its requested size.
void carry_out_fullscreen_request(std::int32_t frame_width, std::int32_t frame_height) {
    std::int32_t request = fullscreen_request.load();
    if (reshape_pending != 0 || request == -1) return;
    if (request != 0) {
        if (fullscreen_mode.load() == 0) {
            window_fullscreen_begin();
            glutFullScreen();
            window_thread_request_pass();
        }
        fullscreen_mode.store(request);
    } else if (fullscreen_mode.load() != 0) {
        window_fullscreen_end();
        request_reshape(window_zoom * frame_width, window_zoom * frame_height);
        fullscreen_mode.store(0);
    }
    fullscreen_request.compare_exchange_strong(request, -1);
}

// Brings the software layer's texture to the frame: the rows it redrew when
// the texture holds its base frame, else all of it; a new texture when the
// size changed or the texture is padded.
void update_software_texture(const software_frame* frame) {
    const hardware_image* image = hardware_img_get(software_screen_hardware_frame);
    const bool same_size = image && image->width == frame->width && image->height == frame->height;
    const bool rows_only = same_size && frame->base_order != 0 && frame->base_order == software_screen_texture_order;
    const std::int32_t top = rows_only ? frame->changed_top : 0;
    const std::int32_t bottom = rows_only ? frame->changed_bottom : frame->height;
    if (!same_size || !update_hardware_img_rows(software_screen_hardware_frame, frame->pixels, top, bottom - top)) {
        if (software_screen_hardware_frame != 0) free_hardware_img(software_screen_hardware_frame);
        software_screen_hardware_frame = new_hardware_img(frame->width, frame->height, frame->pixels, 0);
    }
    software_screen_texture_order = frame->order;
}

// The whole number by which the mapping enlarges the frame, without
// filtering; 0 when it scales it otherwise.
std::int32_t whole_zoom(const window_mapping& m) {
    const float zoom = m.scale_x;
    const bool whole = m.scale_y == zoom && zoom == std::floor(zoom) && m.smooth == 0;
    return whole ? static_cast<std::int32_t>(zoom) : 0;
}

void draw_software_layer(const software_frame* frame, std::int32_t position) {
    if (software_screen_hardware_frame == 0) {
        alert_box("Invalid software_screen_hardware_frame!!");
        return;
    }
    const hardware_image* image = hardware_img_get(software_screen_hardware_frame);
    if (!image) {
        alert_box("Invalid software_screen_hardware_frame!");
        return;
    }
    // At the bottom of the layers and enlarged by a whole number, it is a
    // copy with each pixel repeated (a framebuffer blit, on the GPU).
    const std::int32_t zoom = whole_zoom(current_mapping);
    if (position == 1 && zoom > 0 &&
        copy_hardware_img_to_window(software_screen_hardware_frame, current_mapping.offset_x,
                                    current_mapping.offset_y, zoom, 0, 0, frame->width, frame->height))
        return;
    draw_hardware_img(0, 0, static_cast<float>(frame->width - 1), static_cast<float>(frame->height - 1),
                      software_screen_hardware_frame, 0, 0, 0, static_cast<float>(image->width - 1),
                      static_cast<float>(image->height - 1), position > 1 ? 1 : 0, current_mapping.smooth);
    flush_vertex_batch();
}

bool same_mapping(const window_mapping& a, const window_mapping& b) {
    return a.offset_x == b.offset_x && a.offset_y == b.offset_y && a.right == b.right && a.bottom == b.bottom &&
           a.smooth == b.smooth && a.bars == b.bars;
}

void draw_bars() {
    static std::int32_t black_pixel_image = 0;
    static const std::uint32_t black_pixel = 0;
    if (!hardware_img_get(black_pixel_image)) black_pixel_image = new_hardware_img(1, 1, &black_pixel, 0);
    pixel_rectangle bars[2];
    const int count = bar_rectangles(current_mapping, window_width, window_height, bars);
    for (int i = 0; i < count; ++i)
        draw_hardware_img_window_pixels(static_cast<float>(bars[i].left), static_cast<float>(bars[i].top),
                                        static_cast<float>(bars[i].right), static_cast<float>(bars[i].bottom),
                                        black_pixel_image, 0, 0, 0, 0, 0, 0);
    flush_vertex_batch();
}

}  // namespace

bool presentation_news() {
    return frames_drawn.load() != frames_drawn_looked || latest_frame_order.load() != frame_order_looked;
}

bool presentation_due() {
    frames_drawn_looked = frames_drawn.load();
    frame_order_looked = latest_frame_order.load();
    if (redraw_needed != 0 || fullscreen_request.load() != -1 || frames_drawn.load() != frames_drawn_seen) return true;
    return latest_frame_order.load() != presented_order && hgc_presentation_needed();
}

void display_callback() {
    frames_drawn_seen = frames_drawn.load();
    bool is_new = false;
    const software_frame* frame = frame_claim_for_display(&is_new);
    if (!frame) return;   // nothing rendered yet
    const std::int64_t order = latest_frame_order.load();
    if (!is_new && fullscreen_request.load() == -1 && redraw_needed == 0) {
        if (order == presented_order) return;
        // A pass that found nothing to draw still advances the order, for the
        // hardware layers; without commands the picture would only repeat.
        if (!hgc_presentation_needed()) {
            presented_order = order;
            return;
        }
    }

    const std::int32_t frame_width = frame->width;
    const std::int32_t frame_height = frame->height;
    const bool redraw = redraw_needed != 0 || fullscreen_request.load() != -1;
    redraw_needed = 0;
    if (frame_width != hinted_frame_width || frame_height != hinted_frame_height) {
        window_size_hints_set(frame_width, frame_height);
        hinted_frame_width = frame_width;
        hinted_frame_height = frame_height;
    }
    if (fullscreen_mode.load() == 0 && fullscreen_request.load() == -1) {
        std::int32_t width, height;
        if (window_policy(frame_width, frame_height, width, height)) request_reshape(width, height);
    }
    carry_out_fullscreen_request(frame_width, frame_height);
    const window_mapping previous_mapping = current_mapping;
    current_mapping = compute_window_mapping(frame_width, frame_height, window_width, window_height,
                                             fullscreen_mode.load(), fullscreen_smooth.load(), resize_scaling,
                                             window_zoom);
    const std::int32_t software_position = software_layer_position.load();
    const std::int32_t hardware_position = hardware_layer_position.load();
    const std::int32_t second_hardware_position = second_hardware_layer_position.load();
    // A frame that covers the whole window at the bottom of the layers, with
    // no hardware layer to draw, leaves nothing of the window to clear.
    const window_mapping& m = current_mapping;
    const bool frame_covers_window = software_position == 1 && m.offset_x == 0 && m.offset_y == 0 &&
                                     m.display_width == window_width && m.display_height == window_height &&
                                     !hgc_presentation_needed();
    // The frame alone, enlarged by a whole number, is a picture the window
    // keeps. A new frame drawn onto a copy of the one it shows sends only
    // the cells it changed. A redraw (the window resized or exposed, full
    // screen) and anything else draws the whole picture with GL and swaps.
    const std::int32_t zoom = whole_zoom(m);
    const bool picture_alone = frame_covers_window && zoom > 0;
    const bool shown = pause_flag.load() == 0;
    if (picture_alone && shown && is_new && !redraw && frame->base_order != 0 &&
        frame->base_order == window_picture_order && same_mapping(m, previous_mapping) &&
        window_put_frame_area(frame->pixels, frame_width, frame_height, zoom, frame->changed_left, frame->changed_top,
                              frame->changed_right, frame->changed_bottom)) {
        window_picture_order = frame->order;
    } else {
        if (software_screen_texture_order != frame->order || software_screen_hardware_frame == 0)
            update_software_texture(frame);
        hgc_presentation_begin(order);
        for (std::int32_t position = 0; position <= 5; ++position) {
            if (position == 0) {
                set_render_target(0);
                if (!frame_covers_window) glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            }
            if (position == software_position) draw_software_layer(frame, position);
            if (position == hardware_position) draw_hgc_layer(0);
            if (position == second_hardware_position) draw_hgc_layer(-1);
            if (position == 5 && current_mapping.bars != 0) draw_bars();
        }
        hgc_presentation_end();
        if (shown) glutSwapBuffers();
        // Hardware-layer commands that came after the check above were drawn as well.
        window_picture_order = shown && picture_alone && !hgc_presentation_needed() ? frame->order : 0;
    }
    presented_order = order;
    if (is_new) {
        keys_stored_when_presented.store(keyboard_buffer_stored.load());
        frames_presented.store(frames_drawn_seen);
        if (presentation_awaited.exchange(0) != 0) wake_signal_raise(program_thread_wake);
    }
    presentations.fetch_add(1, std::memory_order_relaxed);
    if (is_new) new_frames_presented.fetch_add(1, std::memory_order_relaxed);
}

void presentation_exposed() { redraw_needed = 1; }

void reshape_callback(int width, int height) {
    reported_window_width.store(width);
    reported_window_height.store(height);
    window_resized.store(-1);
    previous_window_width = window_width;
    previous_window_height = window_height;
    window_width = width;
    window_height = height;
    reshape_pending = 0;
    redraw_needed = 1;
    render_state.mode = 0;   // the next draw sets projection and viewport for the new size
}
