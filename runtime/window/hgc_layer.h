// Hardware graphics commands (hgc): drawing requests that the program thread
// issues and links in issue order, and that the window thread consumes and
// draws into the window's hardware layers or into hardware images.
//
// A command carries the frame order current when it was issued and is drawn
// in the presentation of that frame.
#pragma once
#include <atomic>
#include <cstdint>

struct handle_list;

enum : std::int64_t {
    hgc_draw_rectangle = 1,     // a rectangle of an image (2D)
    hgc_free_image = 3,         // free a hardware image
    hgc_draw_triangle = 4,      // a textured triangle (2D)
    hgc_draw_triangle_3d = 5,   // a textured triangle in 3D with depth
    hgc_clear_depth = 6,        // clear the depth buffer of a destination
};

struct hgc {
    std::int64_t order;         // next_frame_order when issued
    std::int64_t next;          // following command, 0 = none
    std::int64_t type;
    std::int64_t source;        // hardware image handle
    std::int32_t destination;   // hardware image; 0 the window's hardware layer, -1 its second one
    // Rectangles use (x1, y1, x2, y2) of each; triangles three (u, v) source
    // points and three destination points of (x, y) in 2D or (x, y, z) in 3D.
    float source_points[6];
    float destination_points[9];
    std::int32_t depth_mode;    // 3D triangles: as set_depth_mode
    std::int32_t cull_mode;     // 3D triangles: as set_cull_mode
    std::uint8_t smooth;
    std::uint8_t blend;
    std::uint8_t done;          // 1 once the window thread consumed it
};

// Record size of hgc_list (start-up creates it with list_new).
inline constexpr std::int64_t hgc_record_size = 112;
static_assert(sizeof(hgc) <= hgc_record_size);

// Made at start-up. Only the program thread adds records (a list without
// locks); the window thread reads them with list_get, which needs none. A
// record is complete before the link to it is stored (release).
extern handle_list* hgc_list;

// Command list state (indices into hgc_list, 0 = none).
extern std::atomic<std::int64_t> hgc_first;   // first command issued (program thread)
extern std::int64_t hgc_last_issued;          // newest command, where the next one is linked (program thread)
extern std::int64_t hgc_last_consumed;        // window thread
extern std::int64_t hgc_first_consumed;       // window thread

// The count of commands issued, hgc_issued, is the renderer's
// (runtime/render/software_frame.h): its passes look at it.

// Program thread: appends a copy of command with the current frame order
// and links it after the last one; returns its index (0 when the list cannot
// grow). The screen thread is woken for the pass that takes the commands to
// the window.
std::int64_t hgc_issue(const hgc& command);

// Window thread: false when no command waits and the last presentation drew
// none into the window, so a presentation could only repeat the picture.
bool hgc_presentation_needed();
// Window thread, once per presentation: the frame order L the layers draw.
void hgc_presentation_begin(std::int64_t order);
// Consumes and draws the commands of the presentation for one hardware layer
// (destination 0 or -1).
void draw_hgc_layer(std::int32_t destination);
// Ends the presentation: the commands of order L are consumed, drawn or not
// (a layer that is not shown loses its commands).
void hgc_presentation_end();
