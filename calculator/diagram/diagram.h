// The CIE 1931 chromaticity diagram of --plot, drawn with cairo by a module
// of its own (spektralrechner-diagram.so) that the calculator opens only
// when it draws: the dialogue never loads cairo, its fonts or the X
// libraries cairo links. The calculator hands over every number to draw;
// the module computes none of the points itself.
#pragma once
#include <cstddef>

struct diagram_point {
    float x, y;
    const char* label;   // UTF-8; null: none
};

struct diagram_entry {
    diagram_point spectral;
    bool purple;                  // a negative entry: its purple point too,
    diagram_point purple_point;   // and the dashed line through E to it
};

enum class diagram_format { png, svg, pdf };

struct diagram_request {
    const diagram_point* locus;   // the spectral locus, 1-nm steps from 360 nm
    std::size_t locus_count;
    diagram_point purple_ends[2];   // the purple line's ends on the locus
    const diagram_entry* entries;
    std::size_t entry_count;
    const char* path;
    diagram_format format;
};

// Draws the diagram into a file beside path and renames it to path, so that
// the file is there whole or not at all. Returns 0, or 1 with the reason in
// problem (one line for standard error) and any earlier file left alone.
extern "C" int diagram_write(const diagram_request* request, char* problem, std::size_t problem_size);
using diagram_write_function = decltype(&diagram_write);

// The text's fonts (package fonts-dejavu-core).
inline constexpr char diagram_font_file[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr char diagram_bold_font_file[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// The layout, in the PNG's pixels (SVG and PDF: the same drawing, 3/4 pt a
// pixel). The plot's origin and its scale, equal for x and y.
namespace diagram_layout {
inline constexpr int width = 880, height = 1000;
inline constexpr double vector_scale = 0.75;   // SVG and PDF: points a pixel
inline constexpr double left = 90, bottom = 935, scale = 955;   // pixels per unit of x and y
inline constexpr double pixel_x(double x) { return left + x * scale; }
inline constexpr double pixel_y(double y) { return bottom - y * scale; }
}  // namespace diagram_layout
