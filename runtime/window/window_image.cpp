#include "runtime/window/window_image.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>
#include <cstring>
#include <vector>

namespace {

// The window current on this thread, what it takes, and the image and GC
// made once for it; the image's size and data are set at each request.
struct image_target {
    Display* display = nullptr;
    GLXDrawable window = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    std::vector<std::uint32_t> pixels;   // the enlarged rectangle, rows packed
    bool usable = false;
};

image_target target;

void forget_target() {
    if (target.image) {
        target.image->data = nullptr;   // the pixels are the vector's
        XDestroyImage(target.image);
    }
    if (target.gc) XFreeGC(target.display, target.gc);
    target = image_target{};
}

bool target_ready() {
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (!display || !window) return false;
    if (display == target.display && window == target.window) return target.usable;
    forget_target();
    target.display = display;
    target.window = window;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return false;
    // The frame's words are 0x..RRGGBB: a true-colour visual of depth 24 with
    // these masks, 32 bits a pixel, shows them unchanged.
    const Visual* visual = attributes.visual;
    if (attributes.depth != 24 || visual->c_class != TrueColor || visual->red_mask != 0xFF0000 ||
        visual->green_mask != 0xFF00 || visual->blue_mask != 0xFF)
        return false;
    target.image = XCreateImage(display, attributes.visual, 24, ZPixmap, 0, nullptr, 1, 1, 32, 0);
    if (!target.image || target.image->bits_per_pixel != 32) return false;
    // The words as this machine keeps them; Xlib converts them for the server.
    target.image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    target.gc = XCreateGC(display, window, 0, nullptr);
    return target.usable = target.gc != nullptr;
}

// Writes the rectangle of the frame, each pixel repeated zoom times across
// and each row zoom times down, into out (rows packed).
void enlarge(const std::uint32_t* pixels, std::int32_t frame_width, std::int32_t zoom, std::int32_t left,
             std::int32_t top, std::int32_t right, std::int32_t bottom, std::uint32_t* out) {
    const std::int64_t out_width = static_cast<std::int64_t>(right - left) * zoom;
    for (std::int32_t y = top; y < bottom; ++y) {
        const std::uint32_t* source = pixels + static_cast<std::int64_t>(y) * frame_width;
        std::uint32_t* row = out;
        for (std::int32_t x = left; x < right; ++x)
            for (std::int32_t i = 0; i < zoom; ++i) *out++ = source[x];
        for (std::int32_t i = 1; i < zoom; ++i, out += out_width) std::memcpy(out, row, out_width * 4);
    }
}

}  // namespace

bool window_put_frame_area(const std::uint32_t* pixels, std::int32_t frame_width, std::int32_t frame_height,
                           std::int32_t zoom, std::int32_t left, std::int32_t top, std::int32_t right,
                           std::int32_t bottom) {
    if (right <= left || bottom <= top) return true;
    // An image costs the X server about as much a pixel as GL's copy of the
    // whole window, unenlarged, costs for three: at zoom 1 a change of more
    // than a third of the frame goes through GL. Enlarged, GL's copy costs
    // more than an image of the whole window (with a software GL driver).
    const std::int64_t area = static_cast<std::int64_t>(right - left) * (bottom - top);
    if (zoom < 1 || (zoom == 1 && 3 * area > static_cast<std::int64_t>(frame_width) * frame_height) ||
        !target_ready())
        return false;
    const std::int32_t width = (right - left) * zoom, height = (bottom - top) * zoom;
    target.pixels.resize(static_cast<std::size_t>(width) * height);
    enlarge(pixels, frame_width, zoom, left, top, right, bottom, target.pixels.data());
    XImage* image = target.image;
    image->width = width;
    image->height = height;
    image->bytes_per_line = width * 4;
    image->data = reinterpret_cast<char*>(target.pixels.data());
    XPutImage(target.display, target.window, target.gc, image, 0, 0, left * zoom, top * zoom,
              static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(target.display);
    return true;
}
