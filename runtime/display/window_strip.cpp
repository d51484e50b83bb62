#include "runtime/display/window_strip.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <bit>

namespace {

// What the window takes, found out once for the window current on this thread.
struct strip_target {
    Display* display = nullptr;
    GLXDrawable window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    bool usable = false;
};

strip_target target;

bool target_ready() {
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (!display || !window) return false;
    if (display == target.display && window == target.window) return target.usable;
    target = {display, window};
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) return false;
    target.visual = attributes.visual;
    target.depth = attributes.depth;
    // The frame's words are 0x..RRGGBB: a true-colour visual with those masks shows them unchanged.
    target.usable = attributes.depth >= 24 && attributes.visual->c_class == TrueColor &&
                    attributes.visual->red_mask == 0xFF0000 && attributes.visual->green_mask == 0xFF00 &&
                    attributes.visual->blue_mask == 0xFF;
    if (target.usable) target.gc = XCreateGC(display, window, 0, nullptr);
    return target.usable = target.usable && target.gc;
}

}  // namespace

bool window_put_rows(const std::uint32_t* pixels, std::int32_t width, std::int32_t first_row, std::int32_t end_row) {
    if (end_row <= first_row) return true;
    if (!target_ready()) return false;
    const std::int32_t rows = end_row - first_row;
    const std::uint32_t* first = pixels + static_cast<std::int64_t>(first_row) * width;
    char* data = reinterpret_cast<char*>(const_cast<std::uint32_t*>(first));
    XImage* image = XCreateImage(target.display, target.visual, static_cast<unsigned>(target.depth), ZPixmap, 0, data,
                                 static_cast<unsigned>(width), static_cast<unsigned>(rows), 32, width * 4);
    if (!image) return false;
    // The words as this machine keeps them; Xlib converts them for the server.
    image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    XPutImage(target.display, target.window, target.gc, image, 0, 0, 0, first_row, static_cast<unsigned>(width),
              static_cast<unsigned>(rows));
    image->data = nullptr;   // the frame's pixels are not the image's to free
    XDestroyImage(image);
    return true;
}
