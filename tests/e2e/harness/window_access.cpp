#include "tests/e2e/harness/window_access.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <chrono>
#include <thread>

#include "tests/e2e/harness/x_server.h"

bool wait_until(const std::function<bool()>& check, double timeout_seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_seconds);
    for (;;) {
        if (check()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::string window_title(Display* display, Window window) {
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) && name) title = name;
    if (name) XFree(name);
    x_error_take();
    return title;
}

Window window_find(Display* display, const std::string& title, double timeout_seconds) {
    Window found = 0;
    wait_until(
        [&] {
            Window root_return, parent;
            Window* children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(display, DefaultRootWindow(display), &root_return, &parent, &children, &count)) return false;
            for (unsigned int i = 0; i < count && !found; ++i)
                if (window_title(display, children[i]) == title) found = children[i];
            if (children) XFree(children);
            return found != 0;
        },
        timeout_seconds);
    return found;
}

window_geometry window_geometry_of(Display* display, Window window) {
    window_geometry geometry;
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, window, &attributes)) {
        geometry = {attributes.x, attributes.y, attributes.width, attributes.height,
                    attributes.map_state == IsViewable};
    }
    x_error_take();
    return geometry;
}

bool window_exists(Display* display, Window window) {
    XWindowAttributes attributes;
    XSync(display, False);
    const bool exists = XGetWindowAttributes(display, window, &attributes) != 0;
    x_error_take();
    return exists;
}

void window_move_to_origin_and_focus(Display* display, Window window) {
    XMoveWindow(display, window, 0, 0);
    XRaiseWindow(display, window);
    XSync(display, False);
    wait_until([&] { return window_geometry_of(display, window).mapped; }, 5);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    x_error_take();
}

void window_send_delete(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

std::vector<std::uint32_t> window_pixels(Display* display, Window window, int& width, int& height) {
    const window_geometry geometry = window_geometry_of(display, window);
    width = geometry.width;
    height = geometry.height;
    std::vector<std::uint32_t> pixels;
    XImage* image = width > 0 && height > 0
                        ? XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                                    static_cast<unsigned>(height), AllPlanes, ZPixmap)
                        : nullptr;
    x_error_take();
    if (!image) {
        width = height = 0;
        return pixels;
    }
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
    XDestroyImage(image);
    return pixels;
}
