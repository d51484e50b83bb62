// One cairo drawing for all three formats: PNG on an image surface at one
// unit a pixel, SVG and PDF on their surfaces at 3/4 pt a unit (the PNG's
// size at 96 dpi). The colours inside the locus are an image, clipped to it.
#include "calculator/diagram/diagram.h"

#include <algorithm>
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <png.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace diagram_layout;

constexpr double x_end = 0.8, y_end = 0.9;
constexpr int colour_step = 3;   // the colours are computed every third pixel, then smoothed

// Where the locus' wavelengths are named.
bool named_wavelength(int nm) { return nm == 380 || nm == 700 || (nm >= 460 && nm <= 620 && nm % 10 == 0); }

// The colour of chromaticity (x, y) as colour-science's diagram shows it:
// XYZ at Y = 1 in linear sRGB, each component encoded with the sRGB curve
// (a negative one linearly), divided by the largest and cut to 0 to 1.
void chromaticity_colour(double x, double y, double rgb[3]) {
    const double X = x / y, Y = 1, Z = (1 - x - y) / y;
    const double linear[3] = {3.2404542 * X - 1.5371385 * Y - 0.4985314 * Z,
                              -0.9692660 * X + 1.8760108 * Y + 0.0415560 * Z,
                              0.0556434 * X - 0.2040259 * Y + 1.0572252 * Z};
    double largest = 0;
    for (int i = 0; i < 3; ++i) {
        const double c = linear[i];
        rgb[i] = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(static_cast<float>(c), 1 / 2.4f) - 0.055;
        largest = std::max(largest, rgb[i]);
    }
    for (int i = 0; i < 3; ++i) rgb[i] = largest > 0 ? std::clamp(rgb[i] / largest, 0.0, 1.0) : 0;
}

void locus_path(cairo_t* cr, const diagram_request& r) {
    cairo_new_path(cr);
    for (std::size_t i = 0; i < r.locus_count; ++i) cairo_line_to(cr, pixel_x(r.locus[i].x), pixel_y(r.locus[i].y));
}

// The colours of the area inside the locus and the purple line.
void paint_colours(cairo_t* cr, const diagram_request& r) {
    double x0 = 1, x1 = 0, y0 = 1, y1 = 0;
    for (std::size_t i = 0; i < r.locus_count; ++i) {
        x0 = std::min<double>(x0, r.locus[i].x), x1 = std::max<double>(x1, r.locus[i].x);
        y0 = std::min<double>(y0, r.locus[i].y), y1 = std::max<double>(y1, r.locus[i].y);
    }
    const double left_px = std::floor(pixel_x(x0)), top_px = std::floor(pixel_y(y1));
    const int columns = static_cast<int>((pixel_x(x1) - left_px) / colour_step) + 2;
    const int rows = static_cast<int>((pixel_y(y0) - top_px) / colour_step) + 2;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, columns, rows);
    const int stride = cairo_image_surface_get_stride(image);
    cairo_surface_flush(image);
    unsigned char* data = cairo_image_surface_get_data(image);
    for (int row = 0; row < rows && data; ++row) {
        const double y = (bottom - (top_px + (row + 0.5) * colour_step)) / scale;
        auto* pixel = reinterpret_cast<std::uint32_t*>(data + row * stride);
        for (int column = 0; column < columns; ++column) {
            const double x = (left_px + (column + 0.5) * colour_step - left) / scale;
            double rgb[3] = {1, 1, 1};
            if (y > 0.001) chromaticity_colour(x, y, rgb);
            pixel[column] = static_cast<std::uint32_t>(rgb[0] * 255 + 0.5) << 16 |
                            static_cast<std::uint32_t>(rgb[1] * 255 + 0.5) << 8 |
                            static_cast<std::uint32_t>(rgb[2] * 255 + 0.5);
        }
    }
    cairo_surface_mark_dirty(image);
    cairo_save(cr);
    locus_path(cr, r);
    cairo_close_path(cr);
    cairo_clip(cr);
    cairo_translate(cr, left_px, top_px);
    cairo_scale(cr, colour_step, colour_step);
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);
}

// The fonts straight from their files: asking fontconfig for them would take
// longer than drawing the whole picture. Without the files, whatever
// fontconfig finds for the name.
cairo_font_face_t* font_face(bool bold) {
    static FT_Library library = nullptr;
    static cairo_font_face_t* faces[2] = {nullptr, nullptr};
    cairo_font_face_t*& face = faces[bold ? 1 : 0];
    FT_Face file_face = nullptr;
    if (face) return face;
    if ((library || FT_Init_FreeType(&library) == 0) &&
        FT_New_Face(library, bold ? diagram_bold_font_file : diagram_font_file, 0, &file_face) == 0)
        face = cairo_ft_font_face_create_for_ft_face(file_face, 0);
    else
        face = cairo_toy_font_face_create("DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                                          bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    return face;
}

void set_font(cairo_t* cr, double size, bool bold = false) {
    cairo_set_font_face(cr, font_face(bold));
    cairo_set_font_size(cr, size);
}

// Text whose box is placed by (along, across): 0 left/top, 0.5 centre, 1 right/bottom.
void text_at(cairo_t* cr, const char* text, double x, double y, double along, double across) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    cairo_move_to(cr, x - extents.x_bearing - along * extents.width, y - extents.y_bearing - across * extents.height);
    cairo_show_text(cr, text);
}

void axes(cairo_t* cr) {
    const double right = pixel_x(x_end), top = pixel_y(y_end);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
    for (int i = 1; i < 9; ++i) {
        if (i < 8) cairo_move_to(cr, pixel_x(i / 10.0), bottom), cairo_line_to(cr, pixel_x(i / 10.0), top);
        cairo_move_to(cr, left, pixel_y(i / 10.0)), cairo_line_to(cr, right, pixel_y(i / 10.0));
    }
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 1.5);
    cairo_rectangle(cr, left, top, right - left, bottom - top);
    set_font(cr, 16);
    for (int i = 0; i <= 9; ++i) {
        char label[8];
        std::snprintf(label, sizeof label, "%.1f", i / 10.0);
        if (i <= 8) {
            cairo_move_to(cr, pixel_x(i / 10.0), bottom), cairo_rel_line_to(cr, 0, 7);
            text_at(cr, label, pixel_x(i / 10.0), bottom + 11, 0.5, 0);
        }
        cairo_move_to(cr, left, pixel_y(i / 10.0)), cairo_rel_line_to(cr, -7, 0);
        text_at(cr, label, left - 11, pixel_y(i / 10.0), 1, 0.5);
    }
    cairo_stroke(cr);
    set_font(cr, 22);
    cairo_matrix_t slanted;   // the axes' names in italics: the upright letters, slanted
    cairo_matrix_init(&slanted, 22, 0, -0.2 * 22, 22, 0, 0);
    cairo_set_font_matrix(cr, &slanted);
    text_at(cr, "x", (left + right) / 2, bottom + 36, 0.5, 0);
    text_at(cr, "y", left - 60, (top + bottom) / 2, 1, 0.5);
    set_font(cr, 28, true);
    text_at(cr, "Normfarbtafel CIE 1931", (left + right) / 2, top / 2, 0.5, 0.5);
}

// The boxes that labels must not cover: the other labels and the dots.
struct box {
    double x0, y0, x1, y1;
    bool meets(const box& other) const { return x0 < other.x1 && other.x0 < x1 && y0 < other.y1 && other.y0 < y1; }
};
using boxes = std::vector<box>;

// The locus, its wavelength ticks, the purple line and their names.
void lines(cairo_t* cr, const diagram_request& r, boxes& taken) {
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_set_line_width(cr, 2);
    locus_path(cr, r);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.35, 0, 0.35);
    cairo_move_to(cr, pixel_x(r.purple_ends[0].x), pixel_y(r.purple_ends[0].y));
    cairo_line_to(cr, pixel_x(r.purple_ends[1].x), pixel_y(r.purple_ends[1].y));
    cairo_stroke(cr);

    // Each tick stands across the locus (its direction over 6 nm: at the red
    // end the table's last rows are one point), pointing away from E.
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    set_font(cr, 14);
    for (std::size_t i = 0; i < r.locus_count; ++i) {
        const int nm = 360 + static_cast<int>(i);
        if (!named_wavelength(nm)) continue;
        const double px = pixel_x(r.locus[i].x), py = pixel_y(r.locus[i].y);
        const diagram_point &before = r.locus[i >= 3 ? i - 3 : 0], &after = r.locus[std::min(i + 3, r.locus_count - 1)];
        double dx = pixel_y(after.y) - pixel_y(before.y), dy = pixel_x(before.x) - pixel_x(after.x);
        const double length = std::hypot(dx, dy);
        if (length == 0) continue;
        dx /= length, dy /= length;
        if ((px - pixel_x(1 / 3.0)) * dx + (py - pixel_y(1 / 3.0)) * dy < 0) dx = -dx, dy = -dy;
        cairo_move_to(cr, px, py);
        cairo_line_to(cr, px + 8 * dx, py + 8 * dy);
        cairo_stroke(cr);
        const std::string label = std::to_string(nm);
        cairo_text_extents_t extents;
        cairo_text_extents(cr, label.c_str(), &extents);
        double x = px + 12 * dx - (0.5 - 0.5 * dx) * extents.width, y = py + 12 * dy - (0.5 - 0.5 * dy) * extents.height;
        // Not beyond the frame (380 nm lies almost on the x axis): then right of the point, under the purple line.
        if (y + extents.height > bottom - 2) x = px + 10, y = bottom - 3 - extents.height;
        text_at(cr, label.c_str(), x, y, 0, 0);
        taken.push_back({x, y, x + extents.width, y + extents.height});
    }
    set_font(cr, 18);
    text_at(cr, "Spektralfarbenzug", pixel_x(0.17), pixel_y(0.86), 0.5, 0.5);
    taken.push_back({pixel_x(0.07), pixel_y(0.875), pixel_x(0.27), pixel_y(0.845)});
    const diagram_point& pointed = r.locus[std::min<std::size_t>(165, r.locus_count - 1)];   // 525 nm
    cairo_move_to(cr, pixel_x(0.17), pixel_y(0.845));
    cairo_line_to(cr, pixel_x(pointed.x), pixel_y(pointed.y));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const diagram_point &a = r.purple_ends[0], &b = r.purple_ends[1];
    cairo_save(cr);
    cairo_translate(cr, pixel_x((a.x + b.x) / 2), pixel_y((a.y + b.y) / 2));
    cairo_rotate(cr, std::atan2(pixel_y(b.y) - pixel_y(a.y), pixel_x(b.x) - pixel_x(a.x)));
    cairo_set_source_rgb(cr, 0.35, 0, 0.35);
    text_at(cr, "Purpurgerade", 0, 8, 0.5, 0);
    cairo_restore(cr);
    const double mx = pixel_x((a.x + b.x) / 2), my = pixel_y((a.y + b.y) / 2);
    taken.push_back({mx - 58, my - 20, mx + 58, my + 40});
}

void dot(cairo_t* cr, double x, double y, double radius) {
    cairo_new_path(cr);
    cairo_arc(cr, pixel_x(x), pixel_y(y), radius, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

// A label beside its point, on a light box: of the places around the point,
// the one that covers least of what is taken, inside the plot.
void point_label(cairo_t* cr, const diagram_point& p, boxes& taken) {
    if (!p.label) return;
    cairo_text_extents_t extents;
    cairo_text_extents(cr, p.label, &extents);
    const double w = extents.width + 8, h = extents.height + 8, px = pixel_x(p.x), py = pixel_y(p.y);
    const double places[][2] = {{px + 12, py - h / 2}, {px - 12 - w, py - h / 2}, {px + 8, py - 10 - h},
                                {px + 8, py + 10},     {px - 8 - w, py - 10 - h}, {px - 8 - w, py + 10},
                                {px - w / 2, py - 14 - h}, {px - w / 2, py + 14}};
    const box plot{left, pixel_y(y_end), pixel_x(x_end), bottom};
    box chosen{};
    double least = INFINITY;
    for (const auto& place : places) {
        const box c{place[0], place[1], place[0] + w, place[1] + h};
        double covered = c.x0 >= plot.x0 && c.x1 <= plot.x1 && c.y0 >= plot.y0 && c.y1 <= plot.y1 ? 0 : 1e9;
        for (const box& t : taken)
            if (t.meets(c)) covered += (std::min(t.x1, c.x1) - std::max(t.x0, c.x0)) * (std::min(t.y1, c.y1) - std::max(t.y0, c.y0));
        if (covered < least) least = covered, chosen = c;
    }
    taken.push_back(chosen);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_rectangle(cr, chosen.x0, chosen.y0, w, h);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    text_at(cr, p.label, chosen.x0 + 4, chosen.y0 + 4, 0, 0);
}

void points(cairo_t* cr, const diagram_request& r, boxes& taken) {
    const double third = 1 / 3.0;
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_move_to(cr, pixel_x(third) - 9, pixel_y(third)), cairo_rel_line_to(cr, 18, 0);
    cairo_move_to(cr, pixel_x(third), pixel_y(third) - 9), cairo_rel_line_to(cr, 0, 18);
    cairo_stroke(cr);
    dot(cr, third, third, 4);

    const double dashes[2] = {10, 6};
    for (std::size_t i = 0; i < r.entry_count; ++i) {
        const diagram_entry& e = r.entries[i];
        if (!e.purple) continue;
        cairo_set_dash(cr, dashes, 2, 0);
        cairo_set_line_width(cr, 2);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_move_to(cr, pixel_x(e.spectral.x), pixel_y(e.spectral.y));
        cairo_line_to(cr, pixel_x(e.purple_point.x), pixel_y(e.purple_point.y));
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    const auto mark = [&](const diagram_point& p) {
        dot(cr, p.x, p.y, 6);
        taken.push_back({pixel_x(p.x) - 8, pixel_y(p.y) - 8, pixel_x(p.x) + 8, pixel_y(p.y) + 8});
    };
    for (std::size_t i = 0; i < r.entry_count; ++i) {
        mark(r.entries[i].spectral);
        if (r.entries[i].purple) mark(r.entries[i].purple_point);
    }
    set_font(cr, 18);
    point_label(cr, {static_cast<float>(third), static_cast<float>(third), "Weißpunkt E"}, taken);
    set_font(cr, 16);
    for (std::size_t i = 0; i < r.entry_count; ++i) {
        point_label(cr, r.entries[i].spectral, taken);
        if (r.entries[i].purple) point_label(cr, r.entries[i].purple_point, taken);
    }
}

void draw(cairo_t* cr, const diagram_request& r) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    axes(cr);
    paint_colours(cr, r);
    boxes taken;
    lines(cr, r, taken);
    points(cr, r, taken);
}

struct file_sink {
    int fd;
    int error = 0;
};

cairo_status_t write_bytes(void* closure, const unsigned char* data, unsigned int length) {
    auto* sink = static_cast<file_sink*>(closure);
    while (length > 0 && sink->error == 0) {
        const ssize_t n = write(sink->fd, data, length);
        if (n > 0) data += n, length -= static_cast<unsigned int>(n);
        else if (n < 0 && errno != EINTR) sink->error = errno;
    }
    return sink->error == 0 ? CAIRO_STATUS_SUCCESS : CAIRO_STATUS_WRITE_ERROR;
}

void write_png_bytes(png_structp png, png_bytep data, png_size_t length) {
    if (write_bytes(png_get_io_ptr(png), data, static_cast<unsigned int>(length)) != CAIRO_STATUS_SUCCESS)
        png_error(png, "write");
}

// The picture as PNG at zlib's fastest level: at the default level (cairo's
// own writer) compressing it takes twice as long as drawing it, for a file
// a third smaller. False when it could not be written.
bool write_png(cairo_surface_t* surface, file_sink& sink) {
    cairo_surface_flush(surface);
    const unsigned char* pixels = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    // libpng's own handlers would print to standard error: the caller says why.
    const auto quiet_error = [](png_structp failed, png_const_charp) { png_longjmp(failed, 1); };
    const auto quiet_warning = [](png_structp, png_const_charp) {};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quiet_error, quiet_warning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &sink, write_png_bytes, nullptr);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 1);
    png_write_info(png, info);
    // Each pixel of the surface is one native 32-bit word 0x00RRGGBB.
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
#else
    png_set_filler(png, 0, PNG_FILLER_BEFORE);
#endif
    for (int y = 0; y < height; ++y) png_write_row(png, pixels + static_cast<std::ptrdiff_t>(y) * stride);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Draws into the open file; the reason of a failure, or "".
std::string draw_into(file_sink& sink, const diagram_request& r) {
    cairo_surface_t* surface = nullptr;
    if (r.format == diagram_format::png)
        surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    else if (r.format == diagram_format::svg)
        surface = cairo_svg_surface_create_for_stream(write_bytes, &sink, width * vector_scale, height * vector_scale);
    else
        surface = cairo_pdf_surface_create_for_stream(write_bytes, &sink, width * vector_scale, height * vector_scale);
    if (r.format == diagram_format::pdf)
        cairo_pdf_surface_set_metadata(surface, CAIRO_PDF_METADATA_TITLE, "Normfarbtafel CIE 1931");
    cairo_t* cr = cairo_create(surface);
    if (r.format != diagram_format::png) cairo_scale(cr, vector_scale, vector_scale);
    draw(cr, r);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    if (status == CAIRO_STATUS_SUCCESS && r.format == diagram_format::png && !write_png(surface, sink))
        status = CAIRO_STATUS_WRITE_ERROR;
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (sink.error != 0) return std::strerror(sink.error);
    return status == CAIRO_STATUS_SUCCESS ? "" : cairo_status_to_string(status);
}

}  // namespace

extern "C" int diagram_write(const diagram_request* request, char* problem, std::size_t problem_size) {
    const std::string path = request->path;
    const std::size_t slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    std::string temporary = path.substr(0, name) + "." + path.substr(name) + ".XXXXXX";
    std::string reason;
    file_sink sink{mkstemp(temporary.data())};
    if (sink.fd < 0) {
        reason = std::string("cannot write beside it: ") + std::strerror(errno);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        if (fchmod(sink.fd, 0666 & ~mask) != 0) reason = std::strerror(errno);
        if (reason.empty()) reason = draw_into(sink, *request);
        if (reason.empty() && fsync(sink.fd) != 0) reason = std::strerror(errno);
        if (close(sink.fd) != 0 && reason.empty()) reason = std::strerror(errno);
        if (reason.empty() && rename(temporary.c_str(), path.c_str()) != 0) reason = std::strerror(errno);
        if (!reason.empty()) unlink(temporary.c_str());
    }
    if (reason.empty()) return 0;
    std::snprintf(problem, problem_size, "cannot write the diagram: %s", reason.c_str());
    return 1;
}
