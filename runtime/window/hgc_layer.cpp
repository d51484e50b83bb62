#include "runtime/window/hgc_layer.h"

#include <GL/glew.h>

#include "runtime/core/wake_signal.h"
#include "runtime/errors/errors.h"
#include "runtime/lists/handle_list.h"
#include "runtime/render/software_frame.h"
#include "runtime/render/window_mapping.h"
#include "runtime/window/hardware_image.h"
#include "runtime/window/image_drawing.h"
#include "runtime/window/render_state.h"
#include "runtime/window/window.h"

handle_list* hgc_list = nullptr;
std::atomic<std::int64_t> hgc_first{0};
std::int64_t hgc_last_issued = 0;
std::int64_t hgc_last_consumed = 0;
std::int64_t hgc_first_consumed = 0;

namespace {

// The presentation under way.
std::int64_t presentation_order = 0;   // L
bool first_layer_done = false;
std::int64_t run_start = 0;            // first command of order L (0: none yet)
bool walk_failed = false;
bool window_drawing_done = false;      // this presentation drew commands into the window
bool window_drawing_shown = false;     // the last presentation did

hgc* command_at(std::int64_t index) { return static_cast<hgc*>(list_get(hgc_list, index)); }

// The link is written by the program thread after the record is complete.
std::int64_t next_of(hgc* command) { return std::atomic_ref<std::int64_t>(command->next).load(std::memory_order_acquire); }

bool is_drawing(const hgc* command) {
    return command->type == hgc_draw_rectangle || command->type == hgc_draw_triangle ||
           command->type == hgc_draw_triangle_3d || command->type == hgc_clear_depth;
}

void clear_depth(std::int32_t destination) {
    flush_vertex_batch();
    if (destination < 0) destination = 0;
    if (!set_render_target(destination)) return;
    if (destination > 0) {
        hardware_image* image = hardware_img_get(destination);
        if (image && image->depth_buffer == 0) {
            glGenTextures(1, &image->depth_buffer);
            glBindTexture(GL_TEXTURE_2D, image->depth_buffer);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_INTENSITY);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, image->width, image->height, 0, GL_DEPTH_COMPONENT,
                         GL_UNSIGNED_BYTE, nullptr);
            glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_TEXTURE_2D, image->depth_buffer, 0);
            glClear(GL_DEPTH_BUFFER_BIT);
            glBindTexture(GL_TEXTURE_2D, 0);
            render_state.texture = -1;
            render_state.texture_parameters = nullptr;
        }
    }
    glClear(GL_DEPTH_BUFFER_BIT);
}

// One textured triangle, in 2D (window destinations through the window
// mapping) or in 3D with depth.
void draw_triangle(const hgc& command, bool three_d) {
    if (!set_render_target(command.destination)) return;
    set_render_mode(three_d ? 2 : 1);
    set_texture(static_cast<std::int32_t>(command.source));
    const hardware_image* image = render_state.texture_parameters;
    if (!image) return;
    set_texture_filters(command.smooth);
    set_blending(command.blend);
    set_depth_mode(three_d ? command.depth_mode : 0);
    set_cull_mode(three_d ? command.cull_mode : 0);
    set_texture_wrap(0);
    if (!batch_reserve_two_triangles()) return;
    const float texture_width = static_cast<float>(image->storage ? image->texture_width : image->width);
    const float texture_height = static_cast<float>(image->storage ? image->texture_height : image->height);
    const bool to_window = command.destination <= 0 && !three_d;
    for (int i = 0; i < 3; ++i) {
        float* t = batch.texture_coordinates + batch.texture_floats;
        t[0] = command.source_points[2 * i] / texture_width;
        t[1] = command.source_points[2 * i + 1] / texture_height;
        batch.texture_floats += 2;
        float* v = batch.vertices + batch.vertex_floats;
        if (three_d) {
            v[0] = command.destination_points[3 * i];
            v[1] = command.destination_points[3 * i + 1];
            v[2] = command.destination_points[3 * i + 2];
            batch.vertex_floats += 3;
        } else {
            float x = command.destination_points[2 * i];
            float y = command.destination_points[2 * i + 1];
            if (to_window) {
                x = x * current_mapping.scale_x + static_cast<float>(current_mapping.offset_x);
                y = y * current_mapping.scale_y + static_cast<float>(current_mapping.offset_y);
            }
            v[0] = x;
            v[1] = y;
            batch.vertex_floats += 2;
        }
    }
}

void execute(const hgc& command) {
    const float* s = command.source_points;
    const float* d = command.destination_points;
    switch (command.type) {
        case hgc_draw_rectangle:
            draw_hardware_img(d[0], d[1], d[2], d[3], static_cast<std::int32_t>(command.source), command.destination,
                              s[0], s[1], s[2], s[3], command.blend, command.smooth);
            break;
        case hgc_free_image: free_hardware_img(static_cast<std::int32_t>(command.source)); break;
        case hgc_draw_triangle: draw_triangle(command, false); break;
        case hgc_draw_triangle_3d: draw_triangle(command, true); break;
        case hgc_clear_depth: clear_depth(command.destination); break;
        default: break;
    }
}

void consumed(std::int64_t index, hgc* command) {
    command->done = 1;
    hgc_last_consumed = index;
    if (hgc_first_consumed == 0) hgc_first_consumed = index;
}

// The command after index (or the first one); false after an alert.
bool follow(std::int64_t index, std::int64_t& next) {
    next = index;
    if (index == 0) return true;
    if (!command_at(index)) {
        const hgc* first = command_at(hgc_first_consumed);
        alert_box("Renderer: Command does not exist: command = %i, hgcx->order = %lld, order = %lld",
                  static_cast<int>(index), static_cast<long long>(first ? first->order : 0),
                  static_cast<long long>(presentation_order));
        walk_failed = true;
        return false;
    }
    return true;
}

// The first hardware layer of a presentation: everything older than L is
// consumed; frees and drawing into images run, window drawing is too late.
void consume_older_commands() {
    first_layer_done = true;
    std::int64_t index;
    if (hgc_last_consumed != 0) {
        hgc* last = command_at(hgc_last_consumed);
        if (!last) {
            alert_box("Rendering: Last HGC is NULL!");
            walk_failed = true;
            return;
        }
        index = next_of(last);
    } else {
        index = hgc_first.load(std::memory_order_acquire);
    }
    while (follow(index, index) && index != 0) {
        hgc* command = command_at(index);
        if (command->order >= presentation_order) break;
        if (command->type == hgc_free_image || (is_drawing(command) && command->destination > 0)) execute(*command);
        consumed(index, command);
        index = next_of(command);
    }
    run_start = walk_failed ? 0 : index;
}

// A layer number that matches no window drawing.
constexpr std::int32_t no_window_layer = 1;

// The commands of order L for one layer; the first layer also runs the
// frees and the drawing into images.
void run_commands_of_frame(std::int32_t layer, bool first_layer) {
    std::int64_t index = run_start;
    while (follow(index, index) && index != 0) {
        hgc* command = command_at(index);
        if (command->order != presentation_order) break;
        const bool into_image = is_drawing(command) && command->destination > 0;
        if (first_layer && (command->type == hgc_free_image || into_image))
            execute(*command);
        else if (is_drawing(command) && !into_image && command->destination == layer) {
            execute(*command);
            window_drawing_done = true;
        }
        index = next_of(command);
    }
}

}  // namespace

std::int64_t hgc_issue(const hgc& command) {
    if (!hgc_list) return 0;
    const std::int64_t index = list_add(hgc_list);
    hgc* record = command_at(index);
    if (!record) return 0;
    *record = command;
    record->order = static_cast<std::int64_t>(next_frame_order.load());
    record->next = 0;
    record->done = 0;
    hgc* last = hgc_last_issued ? command_at(hgc_last_issued) : nullptr;
    if (last)
        std::atomic_ref<std::int64_t>(last->next).store(index, std::memory_order_release);
    else
        hgc_first.store(index, std::memory_order_release);
    hgc_last_issued = index;
    hgc_issued.fetch_add(1);
    wake_signal_raise(screen_thread_wake);
    return index;
}

bool hgc_presentation_needed() {
    if (!hgc_list || window_drawing_shown) return true;
    if (hgc_last_consumed == 0) return hgc_first.load(std::memory_order_acquire) != 0;
    hgc* last = command_at(hgc_last_consumed);
    return !last || next_of(last) != 0;
}

void hgc_presentation_begin(std::int64_t order) {
    presentation_order = order;
    window_drawing_done = false;
    first_layer_done = false;
    walk_failed = false;
    run_start = 0;
}

void draw_hgc_layer(std::int32_t destination) {
    if (!hgc_list || walk_failed) return;
    const bool first_layer = !first_layer_done;
    if (first_layer) consume_older_commands();
    if (!walk_failed) run_commands_of_frame(destination, first_layer);
    flush_vertex_batch();
}

void hgc_presentation_end() {
    if (!hgc_list) return;
    // With no hardware layer shown the frees and the drawing into images still run.
    if (!first_layer_done && !walk_failed) {
        consume_older_commands();
        if (!walk_failed) run_commands_of_frame(no_window_layer, true);
        flush_vertex_batch();
        set_render_target(0);
    }
    std::int64_t index = run_start;
    while (!walk_failed && follow(index, index) && index != 0) {
        hgc* command = command_at(index);
        if (command->order != presentation_order) break;
        consumed(index, command);
        index = next_of(command);
    }
    window_drawing_shown = window_drawing_done;
}
