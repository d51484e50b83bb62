// The cache of OpenGL state and the vertex batch (window thread).
//
// Every setter does nothing when the requested value is the cached one and
// otherwise draws the batched rectangles first, so a run of rectangles with
// the same state becomes one glDrawArrays.
#pragma once
#include <cstdint>

struct hardware_image;

struct render_state_cache {
    std::int32_t target;          // -1 unknown, 0 the window, else a hardware image
    std::int32_t texture;         // bound hardware image, -1 none
    std::int32_t mode;            // 0 none, 1 2D, 2 3D, 3 reset
    std::int32_t blending;        // -1 unknown, 0 off, 1 on
    std::int32_t depth_mode;      // -1 unknown, 0 off, 1 test and write, 2 test only
    std::int32_t cull_mode;       // -1 unknown, 0 off, 1 clockwise front, 2 counter-clockwise front
    hardware_image* texture_parameters;   // filters, wrap and storage of the bound image
};
extern render_state_cache render_state;

// Start-up (and tests): every cached value unknown, no target, no texture.
void render_state_reset();

// Destination <= 0: the window. False when an image cannot be drawn into.
bool set_render_target(std::int32_t destination);
void set_render_mode(std::int32_t mode);
void set_texture(std::int32_t handle);
void set_texture_filters(std::int32_t smooth);      // of the bound texture
void set_texture_wrap(std::int32_t wrap);           // of the bound texture
void set_blending(std::int32_t blending);
void set_depth_mode(std::int32_t depth_mode);
void set_cull_mode(std::int32_t cull_mode);

// Vertex batch: two floats a vertex for 2D triangles, three for 3D; two
// texture coordinates a vertex. Capacities are in floats.
struct vertex_batch {
    float* vertices;
    std::int64_t vertex_floats, vertex_capacity;
    float* texture_coordinates;
    std::int64_t texture_floats, texture_capacity;
};
extern vertex_batch batch;

// Room for two more triangles of 2D or 3D vertices; false when memory is short.
bool batch_reserve_two_triangles();
// Draws what has been batched and empties the batch.
void flush_vertex_batch();
